#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "center/HttpResponse.h"

namespace vok::center {

// The console's static files: its style sheet and script, built into the
// program, and Chart.js as Debian installs it (libjs-chart.js), read once.
// They hold no data, so they are served without a session (the login page
// uses the style sheet too).
class ConsoleAssets {
public:
    static constexpr std::string_view kDebianChartJs =
        "/usr/share/javascript/chart.js/chart.min.js";

    explicit ConsoleAssets(const std::string& chartJsPath);

    // The file for a path under /static/, or none.
    std::optional<HttpResponse> Serve(std::string_view path) const;
    bool HasChartJs() const { return !m_chartJs.empty(); }

    static std::string_view Style();
    static std::string_view Script();

private:
    std::string m_chartJs;
};

}  // namespace vok::center
