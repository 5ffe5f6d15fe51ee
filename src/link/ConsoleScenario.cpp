#include "link/ConsoleScenario.h"

#include <array>
#include <utility>

namespace vok {

namespace {

constexpr std::string_view kScenarioPartial = "partial";
constexpr std::string_view kScenarioNoisy = "noisy";
constexpr std::string_view kScenarioStall = "stall";
constexpr std::string_view kScenarioSilent = "silent";

constexpr std::array<std::pair<ConsoleScenario, std::string_view>, 5> kNames = {{
    {ConsoleScenario::Full, kScenarioFull},
    {ConsoleScenario::Partial, kScenarioPartial},
    {ConsoleScenario::Noisy, kScenarioNoisy},
    {ConsoleScenario::Stall, kScenarioStall},
    {ConsoleScenario::Silent, kScenarioSilent},
}};

}  // namespace

std::optional<ConsoleScenario> ParseScenario(std::string_view name) {
    for (const auto& [scenario, text] : kNames) {
        if (text == name) {
            return scenario;
        }
    }
    return std::nullopt;
}

std::string_view ScenarioName(ConsoleScenario scenario) {
    for (const auto& [candidate, text] : kNames) {
        if (candidate == scenario) {
            return text;
        }
    }
    return kScenarioFull;
}

std::string_view ScenarioList() {
    return "full, partial, noisy, stall, silent";
}

}  // namespace vok
