#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vok::tools {

// Exit statuses of the vok program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the job ran and was refused (e.g. server said no)
inline constexpr int kExitUsage = 2;    // bad options, or the link/file could not be used
inline constexpr int kExitIncomplete = 3;

// One subcommand of `vok`: its name, a one-line summary, its usage text and
// the function that runs it with the arguments after its name.
struct ToolCommand {
    std::string_view name;
    std::string_view summary;
    std::string_view usage;
    int (*run)(const std::vector<std::string>& args);
};

// Prints "vok NAME: reason" and the hint to --help; returns kExitUsage.
int UsageError(std::string_view command, std::string_view reason);

}  // namespace vok::tools
