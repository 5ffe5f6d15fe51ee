// How long a report file takes to write and to read back.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "report/ReportFileReader.h"
#include "report/ReportFileWriter.h"
#include "report/SiteConfig.h"

namespace {

struct Fixture {
    std::filesystem::path folder;
    std::string path;
    vok::SiteInfo site;
    vok::DiagnosisData data;

    Fixture() {
        folder = std::filesystem::temp_directory_path() / "vok-bench-report";
        site = vok::SiteConfig::LoadSiteInfo(VOK_EXAMPLES_DIR "/CONFIG.ini");
        data.Clear();
        data.m_strSerial = "VK00000001";
        for (std::size_t k = 1; k < vok::kHtRecordCount; ++k) {
            for (std::size_t n = 0; n < vok::kParamCount; ++n) {
                data.m_HtInfo[k].params[n] = static_cast<std::uint8_t>(k * 11 + n);
            }
        }
        path = vok::ReportFileWriter::WriteReportFile(folder, site, data, 0)->m_strReportPath;
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_ReadReportFile(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        vok::ReportData report = vok::ReportFileReader::ReadReportFile(f.path);
        benchmark::DoNotOptimize(report);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadReportFile);

void BM_ComposeReportFile(benchmark::State& state) {
    Fixture& f = Shared();
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
