#include "center/ConsoleAssets.h"

#include <fstream>
#include <sstream>

#include "center/ConsolePage.h"

namespace vok::center {

namespace {

constexpr std::size_t kMaxChartJsBytes = std::size_t{4} << 20;

HttpResponse Asset(std::string_view type, std::string_view body) {
    HttpResponse response;
    response.contentType = std::string(type);
    response.body = std::string(body);
    // They hold no data; an hour spares each page the 200 KB of Chart.js.
    response.headers.emplace_back("Cache-Control", "private, max-age=3600");
    return response;
}

}  // namespace

ConsoleAssets::ConsoleAssets(const std::string& chartJsPath) {
    std::ifstream in(chartJsPath, std::ios::binary);
    if (!in) {
        return;  // charts stay empty; every number is in the tables as well
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (text.str().size() <= kMaxChartJsBytes) {
        m_chartJs = std::move(text).str();
    }
}

std::optional<HttpResponse> ConsoleAssets::Serve(std::string_view path) const {
    if (path == ConsolePage::kStylePath) {
        return Asset("text/css; charset=utf-8", Style());
    }
    if (path == ConsolePage::kScriptPath) {
        return Asset("text/javascript; charset=utf-8", Script());
    }
    if (path == ConsolePage::kChartPath && HasChartJs()) {
        return Asset("text/javascript; charset=utf-8", m_chartJs);
    }
    return std::nullopt;
}

}  // namespace vok::center
