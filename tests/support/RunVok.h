#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "support/TempDir.h"

namespace vok::test {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Quotes a text for the shell.
inline std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Runs the built `vok ARGUMENTS` inside `dir` as a user would from a shell,
// after the shell words in `prefix` (such as variable settings).
inline Outcome RunVok(const TempDir& dir, const std::string& arguments,
                      const std::string& prefix = "") {
    const std::string errFile = dir.File("stderr.txt");
    const std::string command = "cd " + Quote(dir.path().string()) + " && " + prefix + " " +
                                Quote(VOK_TOOL_PATH) + " " + arguments + " 2>" + Quote(errFile);
    Outcome outcome;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return outcome;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        outcome.out.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.err = ReadAll(errFile);
    return outcome;
}

}  // namespace vok::test
