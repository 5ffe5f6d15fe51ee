// `vok acquire` and `vok console` as a user runs them: exit statuses, what
// goes to stdout and stderr, and the report file.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/Constants.h"
#include "support/TempDir.h"

extern char** environ;

namespace vok {
namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& arg) {
    return "'" + arg + "'";
}

ToolRun RunVok(const std::vector<std::string>& args, const test::TempDir& dir) {
    std::string command = Quote(VOK_TOOL_PATH);
    for (const std::string& arg : args) {
        command += " " + Quote(arg);
    }
    const std::string out = dir.File("stdout.txt");
    const std::string err = dir.File("stderr.txt");
    const int raw = std::system((command + " >" + out + " 2>" + err + " </dev/null").c_str());
    ToolRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = test::ReadAll(out);
    run.err = test::ReadAll(err);
    return run;
}

// A data folder with the example site configuration.
std::string DataFolderWithConfig(const test::TempDir& dir) {
    const std::filesystem::path data = dir.path() / "data";
    std::filesystem::create_directories(data);
    std::filesystem::copy_file(std::filesystem::path(VOK_EXAMPLES_DIR) / "CONFIG.ini",
                               data / "CONFIG.ini");
    return data.string();
}

std::vector<std::filesystem::path> Reports(const std::string& data) {
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(data + "/REPORT", ec)) {
        found.push_back(e.path());
    }
    return found;
}

TEST(VokAcquire, SimulatedConsoleGivesACompleteReportFile) {
    test::TempDir dir;
    const std::string data = DataFolderWithConfig(dir);
    const ToolRun run = RunVok({"acquire", "--simulate", "--data-dir", data}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_FALSE(run.out.empty());
    const std::string path = run.out.substr(0, run.out.find('\n'));
    EXPECT_EQ(std::filesystem::path(path).parent_path(), std::filesystem::path(data) / "REPORT");
    EXPECT_TRUE(std::filesystem::path(path).filename().string().starts_with("REPORT_VK82C10417_"));
    const std::string report = test::ReadAll(path);
    EXPECT_NE(report.find("VERSION=V2.31.5\r\n"), std::string::npos);
    EXPECT_NE(report.find("HOSPITAL=St. Mary Regional Hospital\r\n"), std::string::npos);
    EXPECT_NE(report.find("[CMD_INFO_225]"), std::string::npos);
    // Status lines in order on stderr, no bar drawing codes off a terminal.
    const auto at = [&](std::string_view line) { return run.err.find(line); };
    ASSERT_NE(at(kStatusChecking), std::string::npos);
    EXPECT_LT(at(kStatusChecking), at(kStatusSystemRequest));
    EXPECT_LT(at(kStatusSystemRequest), at(kStatusSystemLog));
    EXPECT_LT(at(kStatusSystemLog), at(kStatusEnd));
    EXPECT_EQ(run.err.find('\r'), std::string::npos);
}

TEST(VokAcquire, MissingDeviceGivesTheCableMessageAndTheReason) {
    test::TempDir dir;
    const ToolRun run =
        RunVok({"acquire", "--device", "/dev/vok-missing", "--data-dir", dir.path().string()}, dir);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.starts_with(std::string(kMsgCheckCable) + "\n")) << run.err;
    EXPECT_NE(run.err.find("path missing: /dev/vok-missing"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
}

TEST(VokAcquire, NoEndMarkerWithinTheTimeoutWritesNoReport) {
    test::TempDir dir;
    const std::string data = DataFolderWithConfig(dir);
    const ToolRun run =
        RunVok({"acquire", "--simulate=stall", "--timeout", "1", "--data-dir", data}, dir);
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("within 1 s ("), std::string::npos) << run.err;
    EXPECT_TRUE(Reports(data).empty());
    EXPECT_TRUE(run.out.empty());
}

TEST(VokAcquire, BadOptionsAreUsageErrors) {
    test::TempDir dir;
    EXPECT_EQ(RunVok({"acquire", "--simulate=bogus"}, dir).status, 2);
    EXPECT_EQ(RunVok({"acquire", "--simulate", "--device", "/dev/null"}, dir).status, 2);
    EXPECT_EQ(RunVok({"acquire", "--simulate", "--timeout", "0"}, dir).status, 2);
    EXPECT_EQ(RunVok({"console", "--baud", "fast"}, dir).status, 2);
}

// `vok console` in the background, with its stdout on a pipe.
class ConsoleProcess {
public:
    explicit ConsoleProcess(const std::vector<std::string>& args) {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        std::vector<std::string> all = {VOK_TOOL_PATH, "console"};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        EXPECT_EQ(posix_spawn(&m_pid, VOK_TOOL_PATH, &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        m_out = ::fdopen(fds[0], "r");
        char line[256] = {};
        if (std::fgets(line, sizeof line, m_out) != nullptr) {
            m_path = line;
            m_path.erase(m_path.find_last_not_of('\n') + 1);
        }
    }
    ~ConsoleProcess() {
        if (m_pid > 0) {
            Stop();
        }
        std::fclose(m_out);
    }
    // SIGTERM; the exit status.
    int Stop() {
        ::kill(m_pid, SIGTERM);
        int raw = 0;
        ::waitpid(m_pid, &raw, 0);
        m_pid = -1;
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    const std::string& Path() const { return m_path; }

private:
    pid_t m_pid = -1;
    FILE* m_out = nullptr;
    std::string m_path;
};

TEST(VokConsole, AcquireThroughTheConsolesTerminalGivesTheSameReport) {
    test::TempDir dir;
    const std::string data = DataFolderWithConfig(dir);
    const std::string link = dir.File("console-link");
    ConsoleProcess console({"--baud", "0", "--link", link});
    ASSERT_TRUE(console.Path().starts_with("/dev/pts/")) << console.Path();
    EXPECT_EQ(std::filesystem::read_symlink(link), console.Path());

    const ToolRun run = RunVok({"acquire", "--device", link, "--data-dir", data}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    const ToolRun again = RunVok({"acquire", "--device", console.Path(), "--data-dir", data}, dir);
    ASSERT_EQ(again.status, 0) << again.err << " (a second run on the same console)";

    EXPECT_EQ(console.Stop(), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

}  // namespace
}  // namespace vok
