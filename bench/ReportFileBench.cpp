// How long a report file takes to write and to read back.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "WrittenReport.h"
#include "report/ReportFileReader.h"
#include "report/ReportFileWriter.h"

namespace {

vok::bench::WrittenReport& Shared() {
    static vok::bench::WrittenReport report("vok-bench-report");
    return report;
}

void BM_ReadReportFile(benchmark::State& state) {
    vok::bench::WrittenReport& f = Shared();
    for (auto _ : state) {
        vok::ReportData report = vok::ReportFileReader::ReadReportFile(f.path);
        benchmark::DoNotOptimize(report);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadReportFile);

void BM_ComposeReportFile(benchmark::State& state) {
    vok::bench::WrittenReport& f = Shared();
    std::tm local{};
    for (auto _ : state) {
        std::string text = vok::ReportFileWriter::Compose(f.site, f.data, local);
        benchmark::DoNotOptimize(text);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ComposeReportFile);

}  // namespace

BENCHMARK_MAIN();
