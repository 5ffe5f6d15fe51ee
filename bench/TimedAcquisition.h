#pragma once

// One whole acquisition through a link, timed the way the acquisition
// benchmarks report it: wall time from the open to the end marker, and the
// CPU time of the whole process over the same span.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <string>

#include "core/Result.h"
#include "link/AcquisitionEngine.h"
#include "link/LinkFactory.h"

namespace vok::bench {

class QuietObserver : public AcquisitionObserver {
public:
    void AddStatusLine(const std::string&) override {}
    void SetSystemProgress(int) override {}
    void SetLogProgress(int) override {}
    void Finished(AcquisitionOutcome, const std::string&) override {}
};

inline double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct AcquisitionTiming {
    double wallSeconds = 0;
    double cpuSeconds = 0;
};

// Why there is no timing: the link did not open, or the end marker did not
// come within `timeout`.
inline Result<AcquisitionTiming> TimeAcquisition(const LinkOpener& opener,
                                                 std::chrono::seconds timeout) {
    QuietObserver observer;
    AcquisitionEngine engine(observer);
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    if (const Status opened = engine.OpenDevice(opener); !opened) {
        return Error{"cannot open the link: " + opened.error()};
    }
    engine.ResetForDiagnosis();
    engine.StartAcquisition();
    if (engine.WaitForEnd(timeout) != AcquisitionOutcome::Completed) {
        return Error{"the acquisition did not complete"};
    }
    return AcquisitionTiming{
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
        CpuSeconds() - cpuStart};
}

// Wall and CPU time summed over a benchmark's timed acquisitions.
struct AcquisitionTotals {
    double wallSeconds = 0;
    double cpuSeconds = 0;

    // One acquisition as one iteration: its wall time is the iteration's
    // time. False, with the benchmark skipped and told why, when there is none.
    bool Add(benchmark::State& state, const LinkOpener& opener) {
        const Result<AcquisitionTiming> timed = TimeAcquisition(opener, std::chrono::seconds(120));
        if (!timed) {
            state.SkipWithError(timed.error().c_str());
            return false;
        }
        wallSeconds += timed->wallSeconds;
        cpuSeconds += timed->cpuSeconds;
        state.SetIterationTime(timed->wallSeconds);
        return true;
    }

    // Mean wall and CPU seconds per acquisition, and CPU as a share of wall.
    void Report(benchmark::State& state) const {
        const double n = double(state.iterations());
        state.counters["wall_s"] = wallSeconds / n;
        state.counters["cpu_s"] = cpuSeconds / n;
        state.counters["cpu_%_of_wall"] = cpuSeconds / wallSeconds * 100.0;
    }
};

}  // namespace vok::bench
