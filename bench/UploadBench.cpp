// How long one report file takes to go to a web server on the loopback
// interface, and how much of that is reading the file into the body.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "../tests/upload/LoopbackHttpServer.h"
#include "WrittenReport.h"
#include "upload/ServiceCenterUpload.h"
#include "upload/UploadBody.h"

namespace {

vok::bench::WrittenReport& Shared() {
    static vok::bench::WrittenReport report("vok-bench-upload");
    return report;
}

void BM_UploadReportToLoopback(benchmark::State& state) {
    const vok::bench::WrittenReport& f = Shared();
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
    const vok::bench::WrittenReport& f = Shared();
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
