// A full acquisition of the `full` console: over a pseudo-terminal served by
// `vok console` in its own process, at 115200 and 9600 baud, against the
// line-rate limit (bytes x 10 / baud + the 0.5 s start delay), with the CPU
// time of the acquiring process; and in process without pacing, for the
// cost of the acquisition itself.
#include <benchmark/benchmark.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "TimedAcquisition.h"
#include "link/AcquisitionEngine.h"
#include "link/CommandPacket.h"
#include "link/LinkFactory.h"
#include "link/LinkTiming.h"
#include "link/SimulatedConsole.h"
#include "link/SimulatedLink.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

// The bytes the console sends in one acquisition, echo frames included.
std::size_t ConsoleBytes() {
    vok::SimulatedConsole console(vok::ConsoleScenario::Full);
    auto send = [&](std::uint8_t command) {
        for (std::uint8_t b : vok::MakeCommandPacket(command)) {
            console.Receive(b);
        }
    };
    std::size_t bytes = 0;
    for (std::uint8_t command : {0x64, 0x72, 0x26}) {
        send(command);
    }
    for (;;) {
        while (console.HasOutput()) {
            (void)console.TakeByte();
            ++bytes;
        }
        const std::size_t answered = console.EchoAnswers();
        send(0x65);
        if (console.EchoAnswers() == answered) {
            return bytes;
        }
    }
}

// `vok console` in its own process, so its pacing costs this process nothing.
class ConsoleProcess {
public:
    explicit ConsoleProcess(int baud) {
        int fds[2];
        if (::pipe(fds) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        std::vector<std::string> args = {VOK_TOOL_PATH, "console", "--baud", std::to_string(baud)};
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        posix_spawn(&m_pid, VOK_TOOL_PATH, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        FILE* out = ::fdopen(fds[0], "r");
        char line[256] = {};
        if (std::fgets(line, sizeof line, out) != nullptr) {
            m_path = line;
            m_path.erase(m_path.find_last_not_of('\n') + 1);
        }
        std::fclose(out);
    }
    ~ConsoleProcess() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    const std::string& Path() const { return m_path; }

private:
    pid_t m_pid = -1;
    std::string m_path;
};

void BM_FullAcquisitionOverPty(benchmark::State& state) {
    const int baud = static_cast<int>(state.range(0));
    const double bytes = double(ConsoleBytes());
    const double limit = bytes * vok::kBitsPerSerialByte / baud + 0.5;
    vok::bench::AcquisitionTotals totals;
    for (auto _ : state) {
        ConsoleProcess console(baud);
        vok::LinkOptions options;
        options.kind = vok::LinkOptions::Kind::Device;
        options.devicePath = console.Path();
        if (!totals.Add(state, vok::LinkFactory::Opener(options))) {
            return;
        }
    }
    const double n = double(state.iterations());
    state.counters["bytes"] = bytes;
    state.counters["limit_s"] = limit;
    state.counters["over_limit_%"] = (totals.wallSeconds / n / limit - 1.0) * 100.0;
    totals.Report(state);
}
BENCHMARK(BM_FullAcquisitionOverPty)
    ->Arg(115200)
    ->Arg(9600)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The engine's own cost: the CPU time of a whole acquisition without pacing
// (its wall time is the 0.5 s start delay).
void BM_FullAcquisitionInProcess(benchmark::State& state) {
    double cpu = 0;
    for (auto _ : state) {
        const vok::Result<vok::bench::AcquisitionTiming> timed = vok::bench::TimeAcquisition(
            []() -> vok::Result<std::unique_ptr<vok::DeviceLink>> {
                auto link = std::make_unique<vok::SimulatedLink>(vok::ConsoleScenario::Full, 0);
                (void)link->Open();
                return std::unique_ptr<vok::DeviceLink>(std::move(link));
            },
            30s);
        if (!timed) {
            state.SkipWithError(timed.error().c_str());
            return;
        }
        cpu += timed->cpuSeconds;
    }
    state.counters["cpu_ms"] = cpu / double(state.iterations()) * 1000.0;
}
BENCHMARK(BM_FullAcquisitionInProcess)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
