#include "platform/CommandLine.h"

#include <algorithm>

namespace vok {

Result<CommandLine> CommandLine::Parse(const std::vector<std::string>& args,
                                       const std::vector<OptionSpec>& specs) {
    CommandLine line;
    bool onlyPositional = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyPositional || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            line.m_positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyPositional = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name =
            arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const auto spec = std::find_if(specs.begin(), specs.end(),
                                       [&](const OptionSpec& s) { return s.name == name; });
        if (spec == specs.end()) {
            return Error{"unknown option --" + name};
        }
        std::string value;
        switch (spec->kind) {
            case OptionKind::Flag:
                if (equals != std::string::npos) {
                    return Error{"option --" + name + " takes no value"};
                }
                break;
            case OptionKind::OptionalValue:
                if (equals != std::string::npos) {
                    value = arg.substr(equals + 1);
                }
                break;
            case OptionKind::Value:
                if (equals != std::string::npos) {
                    value = arg.substr(equals + 1);
                } else if (i + 1 < args.size()) {
                    value = args[++i];
                } else {
                    return Error{"option --" + name + " needs a value"};
                }
                break;
        }
        line.m_options[name] = value;
    }
    return line;
}

bool CommandLine::Has(std::string_view name) const {
    return m_options.find(name) != m_options.end();
}

std::optional<std::string> CommandLine::Value(std::string_view name) const {
    const auto it = m_options.find(name);
    if (it == m_options.end()) {
        return std::nullopt;
    }
    return it->second;
}

}  // namespace vok
