// The console's pages with a fleet of 10,000 generators and 200,000 reports
// in the store (SQLite): the time from request to finished page, in
// process (the HTTP server adds a copy on loopback).
//
// The store is filled once through the store API and kept in
// $VOK_BENCH_DIR (default: /tmp/vok-console-bench) for later runs. Filler
// reports carry a few bytes instead of a whole file; the generator the
// report page is measured on has real files, the largest the site tool
// writes, so that its comparison reads and decodes two complete reports.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "WrittenReport.h"
#include "center/CenterService.h"
#include "center/ConsoleAuth.h"
#include "center/ReportIndexer.h"

namespace {

using namespace vok;
using namespace vok::center;

constexpr int kGenerators = 10000;
constexpr int kReportsPerGenerator = 20;
constexpr int kBatch = 2000;
constexpr int kFillerErrors = 3;
const std::string kUser = "bench";

std::string Serial(int g) {
    char text[16];
    std::snprintf(text, sizeof text, "VK%06d", g);
    return text;
}

std::string Day(int g, int r) {
    // Each generator reports every 2 to 4 weeks; the fleet spreads over years.
    const int day = (g % 700) + r * (14 + g % 15);
    const int year = 2019 + day / 360;
    char text[24];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:00", year, 1 + (day % 360) / 30,
                  1 + day % 30, 8 + g % 10, g % 60);
    return text;
}

// A real report of the measured generator, its counters moving with r.
std::string RealReport(bench::WrittenReport& written, int r) {
    DiagnosisData data = written.data;
    data.m_HtInfo[5].params[0] = static_cast<std::uint8_t>(r * 37);
    data.m_HtInfo[5].params[5] = static_cast<std::uint8_t>(r * 3);
    data.m_HtInfo[7].params[9] = static_cast<std::uint8_t>(120 + r);
    std::tm when{};
    when.tm_year = 2019 - 1900 + r / 12;
    when.tm_mon = r % 12;
    when.tm_mday = 10;
    return ReportFileWriter::Compose(written.site, data, when);
}

Status Fill(ReportStore& store) {
    bench::WrittenReport written("vok-bench-console");
    const DefinitionFile definitions = DefinitionFile::Load(VOK_EXAMPLES_DIR "/CFG/VOK.DEFINE");
    const ReportIndexer indexer(std::size_t{1} << 30);
    Result<IndexedReport> full = indexer.Index(RealReport(written, 0), "full.VOK", definitions);
    if (!full) {
        return Error{full.error()};
    }
    const IndexedReport& model = full.value();
    std::vector<IndexedReport> batch;
    for (int g = 0; g < kGenerators; ++g) {
        for (int r = 0; r < kReportsPerGenerator; ++r) {
            IndexedReport report;
            if (g == 0) {
                Result<IndexedReport> real =
                    indexer.Index(RealReport(written, r), "real.VOK", definitions);
                if (!real) {
                    return Error{real.error()};
                }
                report = std::move(real).value();
                report.serial = Serial(g);
            } else {
                report = model;
                report.content = Serial(g) + " report " + std::to_string(r);
                report.sha256 = ReportIndexer::Sha256Hex(report.content);
                report.serial = Serial(g);
                report.site[kHospitalField] =
                    "Hospital " + std::to_string(g % 3000) + " of region " + std::to_string(g % 17);
                report.site[kAddressField] = "Street " + std::to_string(g);
                report.exposuresTotal = 1000 + g + r * 150;
                report.errorCount = g % 7 + r * (g % 3);
                report.heatUnitsTotal = 50000 + r * 900;
                report.errors.resize(kFillerErrors);
                report.errors[kFillerErrors - 1].code = r % 40;
            }
            report.fileName = Serial(g) + "_" + std::to_string(r) + ".VOK";
            report.sender = "bench";
            report.reportDate = Day(g, r);
            batch.push_back(std::move(report));
            if (static_cast<int>(batch.size()) == kBatch) {
                std::vector<const IndexedReport*> pointers;
                for (const IndexedReport& one : batch) {
                    pointers.push_back(&one);
                }
                if (auto stored = store.StoreBatch(pointers); !stored) {
                    return Error{stored.error()};
                }
                batch.clear();
            }
        }
        if (g % 1000 == 999) {
            std::cerr << "filled " << (g + 1) * kReportsPerGenerator << " reports\n";
        }
    }
    return Done{};
}

struct Center {
    std::filesystem::path dir;
    std::unique_ptr<CenterService> service;
    std::string cookie;
    std::int64_t newestRealReport = 0;

    Center() {
        const char* env = std::getenv("VOK_BENCH_DIR");
        dir = env != nullptr ? env : "/tmp/vok-console-bench";
        std::filesystem::create_directories(dir);
        CenterConfig config;
        config.database = DatabaseUrl::SqliteFile((dir / "center.db").string());
        config.definitionsPath = VOK_EXAMPLES_DIR "/CFG/VOK.DEFINE";
        service = std::make_unique<CenterService>(config);
        ReportStore& store = *service->ThreadStore().value();
        if (store.ReportCount().value() != kGenerators * kReportsPerGenerator) {
            std::cerr << "filling " << (dir / "center.db").string() << " (once)\n";
            if (Status filled = Fill(store); !filled) {
                std::cerr << filled.error() << "\n";
                std::exit(1);
            }
        }
        (void)store.PutUser(kUser, ConsoleAuth::HashPassword("bench").value());
        const ConsoleAuth::Login login = ConsoleAuth::LogIn(store, kUser, "bench", "bench", true);
        cookie = std::string(ConsoleAuth::kCookieName) + "=" + login.token;
        ReportQuery newest;
        newest.serial = Serial(0);
        newest.limit = 1;
        newestRealReport = store.Reports(newest).value().front().id;
    }
};

Center& Shared() {
    static Center center;
    return center;
}

void Page(benchmark::State& state, const std::string& path, const std::string& query) {
    Center& center = Shared();
    std::size_t bytes = 0;
    for (auto _ : state) {
        HttpRequest request;
        request.method = "GET";
        request.path = path;
        request.query = query;
        request.target = query.empty() ? path : path + "?" + query;
        request.peer = "127.0.0.1";
        request.headers.emplace_back("cookie", center.cookie);
        const HttpResponse response = center.service->Handle(request);
        if (response.status != 200) {
            state.SkipWithError(("status " + std::to_string(response.status)).c_str());
            return;
        }
        bytes = response.body.size();
        benchmark::DoNotOptimize(response.body.data());
    }
    state.counters["page_bytes"] = static_cast<double>(bytes);
}

void BM_Fleet(benchmark::State& s) {
    Page(s, "/", "");
}
void BM_FleetByErrorsSincePrevious(benchmark::State& s) {
    Page(s, "/", "sort=errors&dir=desc");
}
void BM_FleetByHospitalLastPage(benchmark::State& s) {
    Page(s, "/", "sort=hospital&dir=asc&page=200");
}
void BM_FleetSearchHospital(benchmark::State& s) {
    Page(s, "/", "q=hospital+2999");
}
void BM_Generator(benchmark::State& s) {
    Page(s, "/generators/" + Serial(4242), "");
}
void BM_GeneratorRealReports(benchmark::State& s) {
    Page(s, "/generators/" + Serial(0), "");
}
void BM_ReportSincePrevious(benchmark::State& s) {
    Page(s, "/reports/" + std::to_string(Shared().newestRealReport), "");
}
void BM_FleetCsv(benchmark::State& s) {
    Page(s, "/generators.csv", "");
}

BENCHMARK(BM_Fleet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FleetByErrorsSincePrevious)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FleetByHospitalLastPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FleetSearchHospital)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generator)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeneratorRealReports)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportSincePrevious)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FleetCsv)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
