#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "center/CenterMetrics.h"
#include "center/CommitBatcher.h"
#include "center/ConsoleAssets.h"
#include "center/DatabaseUrl.h"
#include "center/HttpRequest.h"
#include "center/HttpResponse.h"
#include "center/ReportIndexer.h"
#include "center/ReportStore.h"

namespace vok::center {

struct CenterConfig {
    DatabaseUrl database;
    std::string definitionsPath;
    std::size_t maxReportBytes = std::size_t{4} << 20;
    std::string chartJsPath = std::string(ConsoleAssets::kDebianChartJs);
};

// The center's routes: receiving reports, the report pages and files, the
// JSON API, metrics, health and login. Upload and import share Receive, so
// an imported file is stored exactly as an uploaded one.
//
// Thread rules: Handle and Receive run on any number of threads at once;
// each thread gets its own store connection on first use, which
// ReleaseThreadStore (or the thread's end) closes on that thread.
class CenterService {
public:
    explicit CenterService(CenterConfig config);
    ~CenterService();
    CenterService(const CenterService&) = delete;
    CenterService& operator=(const CenterService&) = delete;

    HttpResponse Handle(HttpRequest& request);

    struct Received {
        bool stored = false;  // stored now or already there
        bool duplicate = false;
        std::int64_t id = 0;
        RejectReason reason = RejectReason::BadRequest;
        std::string message;  // why not, one line
    };
    Received Receive(std::string content, std::string_view sentName, const std::string& sender);
    // Several files at once in one transaction (import): the same checks,
    // index and outcome per file as Receive.
    struct Incoming {
        std::string content;
        std::string sentName;
    };
    std::vector<Received> ReceiveMany(std::vector<Incoming> files, const std::string& sender);

    // This thread's connection, opened on first use.
    Result<ReportStore*> ThreadStore();
    void ReleaseThreadStore();

    CenterMetrics& Metrics() { return m_metrics; }
    const CenterConfig& Config() const { return m_config; }

    // The site tool's multipart boundary: its body puts one CR LF more after
    // the file than the delimiter needs.
    static constexpr std::string_view kSiteBoundary = "---------------------------7d13a23b368";
    // The policy of the report page: no script, no plug-ins, no forms.
    static constexpr std::string_view kReportPagePolicy =
        "sandbox; default-src 'none'; style-src 'unsafe-inline'; img-src 'self' data:;"
        " frame-ancestors 'self'; base-uri 'none'; form-action 'none'";

private:
    HttpResponse Upload(const HttpRequest& request);
    HttpResponse Health();
    HttpResponse LoginPage(int status, std::string_view message);
    HttpResponse LoginPost(const HttpRequest& request, ReportStore& store);
    HttpResponse Logout(const HttpRequest& request, ReportStore& store);
    HttpResponse FleetHtml(const HttpRequest& request, ReportStore& store);
    HttpResponse FleetCsv(const HttpRequest& request, ReportStore& store);
    HttpResponse GeneratorHtml(ReportStore& store, const std::string& serial);
    HttpResponse ReportConsole(ReportStore& store, std::int64_t id);
    HttpResponse ReportHtml(ReportStore& store, std::int64_t id);
    HttpResponse ReportFile(ReportStore& store, std::int64_t id);
    HttpResponse ApiReports(const HttpRequest& request, ReportStore& store);
    HttpResponse ApiGenerators(const HttpRequest& request, ReportStore& store);
    static bool RequestIsTls(const HttpRequest& request);

    CenterConfig m_config;
    ReportIndexer m_indexer;
    CenterMetrics m_metrics;
    CommitBatcher m_batcher;
    ConsoleAssets m_assets;
    const std::uint64_t m_instance;
};

}  // namespace vok::center
