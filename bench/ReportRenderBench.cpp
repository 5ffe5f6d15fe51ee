// Reports rendered per second, from reading the report file to closing the
// HTML file, against merely copying the same bytes in and out.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "WrittenReport.h"
#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"
#include "report/HtmlReportFile.h"
#include "report/RenderHtml.h"
#include "report/ReportFileReader.h"

namespace {

struct Fixture {
    vok::bench::WrittenReport written{"vok-bench-render"};
    std::string html;
    std::string define;
    std::string copy;
    std::size_t reportBytes = 0;
    std::size_t htmlBytes = 0;

    Fixture() {
        const std::filesystem::path& folder = written.folder;
        std::filesystem::create_directories(folder / "CFG");
        define = (folder / "CFG" / "VOK.DEFINE").string();
        std::filesystem::copy_file(VOK_EXAMPLES_DIR "/CFG/VOK.DEFINE", define);
        html = (folder / "page.html").string();
        copy = (folder / "copy.html").string();
        html = vok::HtmlReportFile::RenderReportFile(written.path, html, define).value();
        reportBytes = std::filesystem::file_size(written.path);
        htmlBytes = std::filesystem::file_size(html);
    }
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
        auto result = vok::HtmlReportFile::RenderReportFile(f.written.path, f.html, f.define);
        benchmark::DoNotOptimize(result);
    }
    Count(state, f);
}
BENCHMARK(BM_RenderReportFile);

// The floor: the same bytes read in and written out, nothing computed, with
// the renderer's own bounded read and atomic replacement of the page.
void BM_CopyReportAndPageBytes(benchmark::State& state) {
    Fixture& f = Shared();
    const std::string out(f.htmlBytes, 'x');
    for (auto _ : state) {
        const vok::Result<std::string> in = vok::RegularFile::Read(f.written.path);
        const vok::Status put = vok::AtomicFile::Write(f.copy, out);
        if (!in || !put) {
            state.SkipWithError("copy failed");
            return;
        }
        benchmark::DoNotOptimize(in->size());
    }
    Count(state, f);
}
BENCHMARK(BM_CopyReportAndPageBytes);

// The parts of one rendering (reading the report file: ReportFileBench).
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
    const vok::ReportData report = vok::ReportFileReader::ReadReportFile(f.written.path);
    const vok::DefinitionFile definitions = vok::DefinitionFile::Load(f.define);
    for (auto _ : state) {
        std::string page = vok::RenderHtml(report, definitions);
        benchmark::DoNotOptimize(page);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderHtml);

}  // namespace

BENCHMARK_MAIN();
