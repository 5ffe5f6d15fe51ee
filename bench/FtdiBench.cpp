// A full acquisition of the `full` console through the FTDI link, with the
// libftdi test double (FT232R, 16 ms latency timer, 62-byte packets) linked
// in place of libftdi1 and pacing the console's bytes at 9600 baud, the
// generator's own rate: wall time against the line-rate limit (bytes x 10 /
// baud + the 0.5 s start delay) and the CPU time of the whole process, the
// double's simulated USB transfers included. Target: under 5 % of wall.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>

#include "FakeUsbBus.h"
#include "link/AcquisitionEngine.h"
#include "link/CommandPacket.h"
#include "link/FtdiIdentity.h"
#include "link/LinkFactory.h"
#include "link/LinkTiming.h"
#include "link/SimulatedConsole.h"

namespace {

using namespace std::chrono_literals;
using vok::test::FakeUsbBus;

class QuietObserver : public vok::AcquisitionObserver {
public:
    void AddStatusLine(const std::string&) override {}
    void SetSystemProgress(int) override {}
    void SetLogProgress(int) override {}
    void Finished(vok::AcquisitionOutcome, const std::string&) override {}
};

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_FullAcquisitionThroughFtdi(benchmark::State& state) {
    const int baud = static_cast<int>(state.range(0));
    double wall = 0;
    double cpu = 0;
    double bytes = 0;
    double reads = 0;
    for (auto _ : state) {
        FakeUsbBus& bus = FakeUsbBus::Instance();
        bus.Reset();
        FakeUsbBus::Device device;
        device.baud = baud;
        const int id = bus.Plug(device);
        vok::LinkOptions options;
        options.serialByIdFolder = "/nonexistent";
        QuietObserver observer;
        vok::AcquisitionEngine engine(observer);

        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = CpuSeconds();
        if (!engine.OpenDevice(vok::LinkFactory::Opener(options))) {
            state.SkipWithError("cannot open the FTDI double");
            return;
        }
        engine.ResetForDiagnosis();
        engine.StartAcquisition();
        if (engine.WaitForEnd(120s) != vok::AcquisitionOutcome::Completed) {
            state.SkipWithError("the acquisition did not complete");
            return;
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu += CpuSeconds() - cpuStart;
        wall += seconds;
        state.SetIterationTime(seconds);
        const FakeUsbBus::Counters seen = bus.Count(id);
        bytes = double(seen.bytesToHost);
        reads += double(seen.bulkReads);
        if (seen.overruns != 0) {
            state.SkipWithError("bytes were lost in the chip's receive buffer");
            return;
        }
    }
    const double n = double(state.iterations());
    const double limit = bytes * vok::kBitsPerSerialByte / baud + 0.5;
    state.counters["bytes"] = bytes;
    state.counters["usb_reads"] = reads / n;
    state.counters["limit_s"] = limit;
    state.counters["wall_s"] = wall / n;
    state.counters["cpu_s"] = cpu / n;
    state.counters["cpu_%_of_wall"] = cpu / wall * 100.0;
}
BENCHMARK(BM_FullAcquisitionThroughFtdi)
    ->Arg(vok::kConsoleBaud)
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
