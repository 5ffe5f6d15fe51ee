// Reports rendered per second, from reading the report file to closing the
// HTML file, against merely copying the same bytes in and out.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

#include "report/ReportFileReader.h"
#include "report/ReportFileWriter.h"
#include "report/ReportRenderer.h"
#include "report/SiteConfig.h"

namespace {

// The largest page a report can give: every record present, 50 error
// entries, 9 full protocol blocks, 20 mA calibrations, every focus cell set.
vok::DiagnosisData FullDiagnosis() {
    vok::DiagnosisData data;
    data.Clear();
    data.m_strSerial = "VK00000001";
    data.m_bConsoleVersion = 1;
    for (std::size_t k = 1; k < vok::kHtRecordCount; ++k) {
        for (std::size_t n = 0; n < vok::kParamCount; ++n) {
            data.m_HtInfo[k].params[n] = static_cast<std::uint8_t>((k * 7 + n * 13) % 250);
        }
    }
    data.m_HtInfo[1].params[0] = 1;
    data.m_HtInfo[6].params[8] = 50;
    data.m_HtInfo[6].params[9] = 9;
    for (int k = 9; k <= 28; ++k) {
        data.m_HtInfo[k].params[0] = static_cast<std::uint8_t>(k - 8);
    }
    for (int k = 29; k <= 112; ++k) {
        for (int flag : {1, 4, 7}) {
            data.m_HtInfo[k].params[flag] = 1;
        }
    }
    for (int i = 0; i < 50; ++i) {
        data.m_HtInfo[113 + 2 * i].params[0] = static_cast<std::uint8_t>(i);
        data.m_HtInfo[113 + 2 * i].params[1] = static_cast<std::uint8_t>(1 + i % 0x60);
    }
    for (std::size_t k = 1; k < vok::kCmdRecordCount; ++k) {
        for (std::size_t n = 0; n < vok::kParamCount; ++n) {
            data.m_CmdInfo[k].params[n] = static_cast<std::uint8_t>((k + n) % 40);
        }
    }
    return data;
}

struct Fixture {
    std::filesystem::path folder;
    std::string report;
    std::string html;
    std::string define;
    std::string copy;
    std::size_t reportBytes = 0;
    std::size_t htmlBytes = 0;

    Fixture() {
        folder = std::filesystem::temp_directory_path() / "vok-bench-render";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder / "CFG");
        define = (folder / "CFG" / "VOK.DEFINE").string();
        std::filesystem::copy_file(VOK_EXAMPLES_DIR "/CFG/VOK.DEFINE", define);
        const vok::SiteInfo site = vok::SiteConfig::LoadSiteInfo(VOK_EXAMPLES_DIR "/CONFIG.ini");
        report = vok::ReportFileWriter::WriteReportFile(folder / "REPORT", site, FullDiagnosis(), 0)
                     ->m_strReportPath;
        html = (folder / "page.html").string();
        copy = (folder / "copy.html").string();
        html = vok::ReportRenderer::RenderReportFile(report, html, define).value();
        reportBytes = std::filesystem::file_size(report);
        htmlBytes = std::filesystem::file_size(html);
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void Count(benchmark::State& state, const Fixture& f) {
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(f.reportBytes + f.htmlBytes));
    state.counters["report_bytes"] = static_cast<double>(f.reportBytes);
    state.counters["html_bytes"] = static_cast<double>(f.htmlBytes);
}

// Read the report file, render with the definitions as they are, write and
// close the page: what the wizard's Report button and `vok report` do.
void BM_RenderReportFile(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        auto result = vok::ReportRenderer::RenderReportFile(f.report, f.html, f.define);
        benchmark::DoNotOptimize(result);
    }
    Count(state, f);
}
BENCHMARK(BM_RenderReportFile);

// The floor: the same bytes read in and written out, nothing computed. The
// page is replaced the way the renderer replaces it (remove, then create).
void BM_CopyReportAndPageBytes(benchmark::State& state) {
    Fixture& f = Shared();
    std::string in(f.reportBytes, '\0');
    const std::string out(f.htmlBytes, 'x');
    for (auto _ : state) {
        std::FILE* input = std::fopen(f.report.c_str(), "rb");
        const std::size_t got = std::fread(in.data(), 1, in.size(), input);
        std::fclose(input);
        std::remove(f.copy.c_str());
        std::FILE* output = std::fopen(f.copy.c_str(), "wb");
        const std::size_t put = std::fwrite(out.data(), 1, out.size(), output);
        std::fclose(output);
        benchmark::DoNotOptimize(got + put);
    }
    Count(state, f);
}
BENCHMARK(BM_CopyReportAndPageBytes);

// The parts of one rendering.
void BM_ReadReportFile(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        vok::ReportData data = vok::ReportFileReader::ReadReportFile(f.report);
        benchmark::DoNotOptimize(data);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadReportFile);

void BM_LoadDefinitions(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        vok::DefinitionFile define = vok::DefinitionFile::Load(f.define);
        benchmark::DoNotOptimize(define);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LoadDefinitions);

void BM_RenderHtml(benchmark::State& state) {
    Fixture& f = Shared();
    const vok::ReportRenderer view(vok::ReportFileReader::ReadReportFile(f.report),
                                   vok::DefinitionFile::Load(f.define));
    for (auto _ : state) {
        std::string page = view.RenderHtml();
        benchmark::DoNotOptimize(page);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderHtml);

}  // namespace

BENCHMARK_MAIN();
