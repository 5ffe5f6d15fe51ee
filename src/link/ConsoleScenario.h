#pragma once

#include <optional>
#include <string_view>

namespace vok {

// The scenario of --simulate and vok console when none is named.
inline constexpr std::string_view kScenarioFull = "full";

// How the simulated console behaves; the same names for --simulate and
// vok console.
enum class ConsoleScenario {
    Full,     // version, all 213 system records, the whole log, echo frames, end marker
    Partial,  // some records never sent
    Noisy,    // garbage bytes and false headers between the frames
    Stall,    // stops in the middle of a frame
    Silent,   // never answers
};

std::optional<ConsoleScenario> ParseScenario(std::string_view name);
std::string_view ScenarioName(ConsoleScenario scenario);
// "full, partial, noisy, stall, silent", for usage messages.
std::string_view ScenarioList();

}  // namespace vok
