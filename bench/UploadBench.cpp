// How long one report file takes to go to a web server on the loopback
// interface, and how much of that is reading the file into the body.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "../tests/upload/LoopbackHttpServer.h"
#include "report/ReportFileWriter.h"
#include "report/SiteConfig.h"
#include "upload/ServiceCenterUpload.h"
#include "upload/UploadBody.h"

namespace {

// A full report file: every record filled, as after a complete diagnosis.
struct Fixture {
    std::filesystem::path folder;
    std::string path;

    Fixture() {
        folder = std::filesystem::temp_directory_path() / "vok-bench-upload";
        const vok::SiteInfo site = vok::SiteConfig::LoadSiteInfo(VOK_EXAMPLES_DIR "/CONFIG.ini");
        vok::DiagnosisData data;
        data.Clear();
        data.m_strSerial = "VK00000001";
        for (std::size_t k = 1; k < vok::kHtRecordCount; ++k) {
            data.m_HtInfo[k].valid = 1;
            for (std::size_t n = 0; n < vok::kParamCount; ++n) {
                data.m_HtInfo[k].params[n] = static_cast<std::uint8_t>(k * 11 + n);
            }
        }
        for (std::size_t k = 1; k < vok::kCmdRecordCount; ++k) {
            for (std::size_t n = 0; n < vok::kParamCount; ++n) {
                data.m_CmdInfo[k].params[n] = static_cast<std::uint8_t>(k * 7 + n);
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

void BM_UploadReportToLoopback(benchmark::State& state) {
    ::setenv("no_proxy", "*", 1);
    const Fixture& f = Shared();
    vok::test::LoopbackHttpServer server(vok::test::LoopbackHttpServer::Reply(200, "200"));
    vok::ServiceCenterUpload upload;
    upload.SetServer(vok::UploadServer("127.0.0.1", server.Port()));
    for (auto _ : state) {
        const vok::Result<bool> sent = upload.UploadReport(f.path);
        if (!sent.ok() || !*sent) {
            state.SkipWithError("upload failed");
            break;
        }
    }
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(f.path));
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(f.path)));
}
BENCHMARK(BM_UploadReportToLoopback)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_LoadUploadBody(benchmark::State& state) {
    const Fixture& f = Shared();
    for (auto _ : state) {
        vok::Result<std::string> body = vok::UploadBody::Load(f.path);
        benchmark::DoNotOptimize(body);
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(f.path)));
}
BENCHMARK(BM_LoadUploadBody)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
