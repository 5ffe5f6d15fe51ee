#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "center/DatabaseUrl.h"
#include "center/IndexedReport.h"
#include "core/Result.h"

namespace vok::center {

// One report as lists show it (no file bytes).
struct ReportSummary {
    std::int64_t id = 0;
    std::string serial;
    std::string fileName;
    std::string sha256;
    std::string reportDate;
    std::string receivedAt;
    std::string sender;
    std::int64_t size = 0;
    std::string hospital;
    std::string address;
    std::string model;
    std::int64_t exposuresTotal = 0;
    std::int64_t exposuresToday = 0;
    std::int64_t errorCount = 0;
    std::int64_t heatUnitsTotal = 0;
    std::int64_t errorLogCount = 0;
    std::int64_t protocolLogCount = 0;
};

// One generator: the summary kept up to date with every report it sends.
struct GeneratorSummary {
    std::string serial;
    std::string model;
    std::string hospital;
    std::string address;
    std::int64_t reports = 0;
    std::int64_t lastReportId = 0;
    std::string lastReportDate;
    std::string lastReceivedAt;
};

struct ReportQuery {
    std::optional<std::string> serial;
    std::optional<std::string> since;  // report_date at or after this ISO text
    std::int64_t limit = 1000;
    std::int64_t offset = 0;
};

// The fleet list: one row per generator with what its newest report says.
enum class FleetSort { Serial, Model, Hospital, Address, LastReport, Exposures, NewErrors };

struct FleetQuery {
    std::string search;  // part of a serial or a hospital name; "" for all
    FleetSort sort = FleetSort::LastReport;
    bool descending = true;
    std::int64_t limit = 50;
    std::int64_t offset = 0;
};

struct FleetRow {
    GeneratorSummary generator;
    std::int64_t exposuresTotal = 0;  // of the newest report
    // The error counter's growth since the report before the newest; none
    // when the generator has sent only one.
    std::optional<std::int64_t> newErrors;
};

// How often an error code appears in a generator's error logs, each log
// entry counted once however many reports repeat it.
struct ErrorCodeCount {
    int code = 0;
    std::string text;
    std::int64_t count = 0;
};

// One service visit as the site's tool recorded it (the history site
// strings), with the first report that carried it.
struct ServiceEntry {
    std::string date;
    std::string cause;
    std::string action;
    std::string engineer;
    std::int64_t firstReportId = 0;
    std::string firstReportDate;
};

struct StoredFile {
    std::string fileName;
    std::string content;
};

struct StoreOutcome {
    bool duplicate = false;
    std::int64_t id = 0;  // of the new report, or of the one it repeats
};

// The center's database: reports with their original bytes and index,
// the generators' summaries, console users, sessions and failed logins.
// SQLite (WAL, synchronous=FULL) or PostgreSQL through Qt SQL; every
// instance of the center that opens the same database sees the same data,
// because nothing lives only in a process's memory.
//
// Thread rules: an instance is one database connection and belongs to the
// thread that opened it; use it on that thread only and destroy it there.
// Each worker thread opens its own. Instances on any threads or in any
// processes may work on one database at once: writes are transactions,
// and Store returns only after its transaction is committed (durable).
class ReportStore {
public:
    static Result<std::unique_ptr<ReportStore>> Open(const DatabaseUrl& url);
    ~ReportStore();
    ReportStore(const ReportStore&) = delete;
    ReportStore& operator=(const ReportStore&) = delete;

    // Keeps a report with its index and brings its generator's summary up to
    // date, all in one transaction; the same bytes twice are one report.
    Result<StoreOutcome> Store(const IndexedReport& report);
    // The same for several reports in one transaction (one flush to disk);
    // all are stored or none. Outcomes in the order given.
    Result<std::vector<StoreOutcome>> StoreBatch(const std::vector<const IndexedReport*>& reports);

    // SQLite: commits on this connection no longer copy the log into the
    // database file (a checkpoint) on their own; the caller does that with
    // Checkpoint, at a moment that keeps nobody waiting. Nothing changes on
    // PostgreSQL. Once per connection is enough; again does nothing.
    Status DeferCheckpoints();
    // Copies what it can of the log into the database file without waiting
    // for other connections. The frames the log holds (0 on PostgreSQL).
    Result<std::int64_t> Checkpoint();

    Result<std::vector<ReportSummary>> Reports(const ReportQuery& query);
    Result<std::optional<ReportSummary>> Report(std::int64_t id);
    Result<std::optional<StoredFile>> File(std::int64_t id);
    Result<std::vector<ErrorLogEntry>> Errors(std::int64_t id);
    Result<std::vector<ProtocolBlock>> Protocol(std::int64_t id);
    Result<std::vector<GeneratorSummary>> Generators(std::int64_t limit, std::int64_t offset);
    Result<std::optional<GeneratorSummary>> Generator(const std::string& serial);
    Result<std::int64_t> ReportCount();

    // The console's views.
    Result<std::vector<FleetRow>> Fleet(const FleetQuery& query);
    Result<std::int64_t> FleetCount(const std::string& search);
    // The report of the same generator just before this one (by report date,
    // then arrival), if any.
    Result<std::optional<std::int64_t>> PreviousReport(std::int64_t id);
    Result<std::vector<ErrorCodeCount>> ErrorCodes(const std::string& serial);
    Result<std::vector<ServiceEntry>> ServiceHistory(const std::string& serial);
    Status Ping();

    // Console users: the Argon2id hash of each password.
    Status PutUser(const std::string& name, const std::string& passwordHash);
    Result<bool> DeleteUser(const std::string& name);
    Result<std::optional<std::string>> PasswordHash(const std::string& name);

    // Sessions by the hash of their token; times are Unix seconds.
    Status AddSession(const std::string& tokenHash, const std::string& user,
                      std::int64_t expiresAt);
    Result<std::optional<std::string>> SessionUser(const std::string& tokenHash, std::int64_t now);
    Status DeleteSession(const std::string& tokenHash);

    // Failed logins per address, for the rate limit; old ones are dropped.
    Result<std::int64_t> CountFailures(const std::string& address, std::int64_t since);
    Status AddFailure(const std::string& address, std::int64_t at, std::int64_t forgetBefore);

private:
    class Impl;
    explicit ReportStore(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

}  // namespace vok::center
