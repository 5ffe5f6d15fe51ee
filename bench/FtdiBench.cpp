// A full acquisition of the `full` console through the FTDI link, with the
// libftdi test double (FT232R, 16 ms latency timer, 62-byte packets) linked
// in place of libftdi1 and pacing the console's bytes at 9600 baud, the
// generator's own rate: wall time against the line-rate limit (bytes x 10 /
// baud + the 0.5 s start delay) and the CPU time of the whole process, the
// double's simulated USB transfers included. Target: under 5 % of wall.
#include <benchmark/benchmark.h>

#include <chrono>

#include "FakeUsbBus.h"
#include "TimedAcquisition.h"
#include "link/AcquisitionEngine.h"
#include "link/CommandPacket.h"
#include "link/FtdiIdentity.h"
#include "link/LinkFactory.h"
#include "link/LinkTiming.h"
#include "link/SimulatedConsole.h"

namespace {

using vok::test::FakeUsbBus;

void BM_FullAcquisitionThroughFtdi(benchmark::State& state) {
    const int baud = static_cast<int>(state.range(0));
    vok::bench::AcquisitionTotals totals;
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
        if (!totals.Add(state, vok::LinkFactory::Opener(options))) {
            return;
        }
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
    totals.Report(state);
}
BENCHMARK(BM_FullAcquisitionThroughFtdi)
    ->Arg(vok::kConsoleBaud)
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
