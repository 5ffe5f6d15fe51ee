#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Result.h"

namespace vok {

// How an option takes its value.
enum class OptionKind {
    Flag,           // --open
    Value,          // --data-dir DIR or --data-dir=DIR
    OptionalValue,  // --simulate or --simulate=SCENARIO (only the = form)
};

struct OptionSpec {
    std::string_view name;  // without the leading "--"
    OptionKind kind;
};

// The parsed command line of one of our programs. Both programs parse with
// it, so options mean the same everywhere.
class CommandLine {
public:
    // Fails with a one-line reason on an unknown option or a missing value.
    static Result<CommandLine> Parse(const std::vector<std::string>& args,
                                     const std::vector<OptionSpec>& specs);

    bool Has(std::string_view name) const;
    // The option's value; "" for a flag or an optional value not given.
    std::optional<std::string> Value(std::string_view name) const;
    const std::vector<std::string>& Positional() const { return m_positional; }

private:
    std::map<std::string, std::string, std::less<>> m_options;
    std::vector<std::string> m_positional;
};

}  // namespace vok
