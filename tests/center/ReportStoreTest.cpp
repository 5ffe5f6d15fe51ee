// What the center reads out of a report, and the store under it with the
// console's views of it, on SQLite and on PostgreSQL alike.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include <QSqlDatabase>
#include <QSqlQuery>

#include "CenterTestSupport.h"
#include "center/CommitBatcher.h"
#include "center/ReportIndexer.h"
#include "center/ReportStore.h"

namespace vok::center {
namespace {

using test::ReportBytes;

IndexedReport Indexed(const std::string& bytes, const std::string& sentName = "C:\\R\\x.VOK") {
    const ReportIndexer indexer(std::size_t{4} << 20);
    Result<IndexedReport> indexed =
        indexer.Index(bytes, sentName, DefinitionFile::Load(test::kExampleDefinitions));
    EXPECT_TRUE(indexed) << (indexed ? "" : indexed.error());
    return indexed ? std::move(indexed).value() : IndexedReport{};
}

std::int64_t Put(ReportStore& store, const test::Visit& v) {
    return store.Store(Indexed(test::VisitBytes(v))).value().id;
}

// A copy with bytes of its own, so the store takes it for another report.
IndexedReport Distinct(IndexedReport r, const std::string& extra) {
    r.content += extra;
    r.sha256 = ReportIndexer::Sha256Hex(r.content);
    return r;
}

TEST(ReportIndexer, ReadsWhatTheHtmlReportShows) {
    const IndexedReport r = Indexed(ReportBytes("VK82C10417", "St. Mary"), "/a/b\\c.VOK");
    EXPECT_EQ(r.serial, "VK82C10417");
    EXPECT_EQ(r.fileName, "c.VOK");
    EXPECT_EQ(r.reportDate, "2024-01-15T10:20:30");
    EXPECT_EQ(r.exposuresTotal, 48213);
    EXPECT_EQ(r.errorCount, 12);
    EXPECT_EQ(r.heatUnitsTotal, 90000);
    ASSERT_EQ(r.errors.size(), 3u);
    EXPECT_EQ(r.errors[2].code, 0x12);
    EXPECT_EQ(r.errors[2].text, DefinitionFile::Load(test::kExampleDefinitions).GetErrorText(0x12));
    EXPECT_EQ(r.errors[2].date + " " + r.errors[2].time, "2024/01/15 10:20:32");
    // Control characters of a sent name never reach the store (PostgreSQL
    // refused a zero byte in it).
    EXPECT_EQ(Indexed(ReportBytes("VKZ", "H"), std::string("C:\\x\0\n.VOK", 10)).fileName, "x.VOK");
}

TEST(ReportIndexer, RefusesWhatIsNotAWholeReportFile) {
    const std::string good = ReportBytes("VK1", "H");
    const ReportIndexer indexer(good.size() + 10);
    const DefinitionFile definitions;
    const struct {
        std::string bytes;
        const char* reason;
    } cases[] = {{"", "empty"},
                 {"[SERVICE]\r\nMODEL=x\r\n[USER]\r\n", "[DIAGNOSIS]"},
                 {good.substr(0, good.find("[CONSOLE]")), "[CONSOLE]"},
                 {good.substr(0, good.find("[CMD_INFO_118]")), "[CMD_INFO_118]"},
                 {good + std::string(11, '\n'), "larger than"},
                 {std::string(4096, '\xff'), "[DIAGNOSIS]"}};
    for (const auto& c : cases) {
        const Result<IndexedReport> r = indexer.Index(c.bytes, "x", definitions);
        ASSERT_FALSE(r) << c.reason;
        EXPECT_NE(r.error().find(c.reason), std::string::npos) << r.error();
    }
    EXPECT_TRUE(indexer.Index(good, "x", definitions));
}

TEST(ReportIndexer, HashesAndDates) {
    // Known digests: none, one block, two blocks, and many (a file's size).
    const struct {
        std::string bytes;
        const char* hex;
    } digests[] = {{"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
                   {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
                   {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
                    "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
                   {std::string(1000000, 'a'),
                    "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}};
    for (const auto& d : digests) {
        EXPECT_EQ(ReportIndexer::Sha256Hex(d.bytes), d.hex) << d.bytes.size() << " bytes";
    }
    EXPECT_EQ(ReportIndexer::IsoDateTime("2009/07/14", "14:17:07"), "2009-07-14T14:17:07");
    EXPECT_EQ(ReportIndexer::IsoDateTime("2009/13/14", "14:17:07"), "");
    EXPECT_EQ(ReportIndexer::IsoDateTime("2009/07/14", "24:00:00"), "");
}

using ReportStoreTest = test::StoreTest;

// Workers on connections of their own share commits through one batcher,
// each learning its own report's fate. Checkpoints run beside the next batch;
// the log must still start over instead of growing with every report.
TEST_P(ReportStoreTest, WorkersShareCommitsStoreEachReportOnceAndKeepTheLogBounded) {
    // Opened first on this thread, as `serve` does: Qt takes the first thread
    // that makes a Qt object for its main one and keeps that thread's data.
    auto store = Open();
    ASSERT_TRUE(store);
    CommitBatcher batcher(8, 40);
    constexpr int kWorkers = 4;
    constexpr int kEach = 40;
    const IndexedReport base = Indexed(ReportBytes("VKS", "H"));
    std::atomic<int> stored{0};
    std::atomic<int> duplicates{0};
    std::atomic<int> failed{0};
    std::atomic<std::uintmax_t> largestLog{0};
    const std::string logPath = m_dir.File("center.db") + "-wal";
    std::vector<std::thread> workers;
    for (int w = 0; w < kWorkers; ++w) {
        workers.emplace_back([&, w] {
            Result<std::unique_ptr<ReportStore>> own = ReportStore::Open(m_url);
            for (int i = 0; own && i < kEach; ++i) {
                // Worker 0 repeats what worker 1 sends.
                const Result<StoreOutcome> outcome = batcher.Store(
                    *own.value(),
                    Distinct(base, std::to_string(w ? w : 1) + "/" + std::to_string(i)));
                (!outcome ? failed : outcome->duplicate ? duplicates : stored)++;
                std::error_code error;
                const std::uintmax_t log = std::filesystem::file_size(logPath, error);
                if (!error && log > largestLog) {
                    largestLog = log;
                }
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    EXPECT_EQ(failed.load(), 0);
    EXPECT_EQ(duplicates.load(), kEach);
    EXPECT_EQ(stored.load(), (kWorkers - 1) * kEach);
    EXPECT_EQ(store->ReportCount().value(), (kWorkers - 1) * kEach);
    if (GetParam() == test::Backend::Sqlite) {
        // Every report went through the log; one that starts over holds a few.
        const std::uintmax_t all = base.content.size() * (kWorkers - 1) * kEach;
        EXPECT_LT(largestLog.load(), all / 2) << "log of " << largestLog << " bytes";
    }
}

TEST_P(ReportStoreTest, OneReportTheDatabaseRefusesDoesNotSinkTheOthersInItsBatch) {
    auto store = Open();
    ASSERT_TRUE(store);
    // PostgreSQL refuses a zero byte in a text: any report it will not take.
    IndexedReport bad = Indexed(ReportBytes("VKX", "H", 1));
    bad.fileName = std::string("a\0b", 3);
    const IndexedReport good = Indexed(ReportBytes("VKY", "H", 2));
    const std::vector<Result<StoreOutcome>> outcomes =
        CommitBatcher::StoreTogether(*store, {&bad, &good});
    ASSERT_EQ(outcomes.size(), 2u);
    ASSERT_TRUE(outcomes[1]) << outcomes[1].error();
    EXPECT_TRUE(store->Report(outcomes[1]->id).value());
    EXPECT_EQ(store->ReportCount().value(), outcomes[0] ? 2 : 1);
}

// One connection keeps its statements from report to report: no row, value
// or byte of one report may turn up under the next; long logs take several
// statements. Bytes come back exactly, Latin-1 as its character, not "?".
TEST_P(ReportStoreTest, StoresEachReportOnceAndWholeOverOneConnection) {
    auto store = Open();
    ASSERT_TRUE(store);
    const int lengths[] = {3, 0, 51, 50, 123, 1};
    std::vector<IndexedReport> reports;
    for (std::size_t i = 0; i < std::size(lengths); ++i) {
        const int day = static_cast<int>(i) + 1;
        IndexedReport r =
            Distinct(Indexed(ReportBytes(i ? "VKL" : "VK<'\"&>", i ? "H" : "M\xfcnster <b>", day)),
                     std::string("\0\x01\xff", 3) + std::string(i, 'a'));
        r.errors.clear();
        for (int e = 0; e < lengths[i]; ++e) {
            r.errors.push_back({e, e + 1, 0x10 + e % 7,
                                "text " + std::to_string(i) + "/" + std::to_string(e), e % 3, e % 5,
                                "2024/01/0" + std::to_string(day),
                                "10:20:" + std::to_string(10 + e % 50)});
        }
        reports.push_back(std::move(r));
    }
    // Alone, again, and in one batch with a repeat, over the same connection.
    std::vector<std::int64_t> ids;
    for (std::size_t i = 0; i < 3; ++i) {
        ids.push_back(store->Store(reports[i]).value().id);
    }
    const Result<StoreOutcome> again = store->Store(reports[0]);
    ASSERT_TRUE(again && again->duplicate);
    EXPECT_EQ(again->id, ids[0]);
    const auto batch = store->StoreBatch({&reports[3], &reports[4], &reports[5], &reports[3]});
    ASSERT_TRUE(batch && batch->size() == 4u);
    EXPECT_TRUE(batch->at(3).duplicate);
    EXPECT_EQ(batch->at(3).id, batch->at(0).id);
    for (std::size_t i = 0; i < 3; ++i) {
        ids.push_back(batch->at(i).id);
    }
    const auto fields = [](const ErrorLogEntry& e) {
        return std::tie(e.entry, e.logIndex, e.code, e.text, e.code1, e.code2, e.date, e.time);
    };
    for (std::size_t i = 0; i < std::size(lengths); ++i) {
        const std::vector<ErrorLogEntry> back = store->Errors(ids[i]).value();
        ASSERT_EQ(back.size(), reports[i].errors.size()) << lengths[i];
        for (std::size_t e = 0; e < back.size(); ++e) {
            EXPECT_TRUE(fields(back[e]) == fields(reports[i].errors[e])) << lengths[i] << "/" << e;
        }
        EXPECT_EQ(store->File(ids[i]).value()->content, reports[i].content);
        EXPECT_EQ(store->Protocol(ids[i]).value().size(), reports[i].protocol.size());
    }
    EXPECT_FALSE(store->File(999).value());
    const auto report = store->Report(ids[0]).value();
    ASSERT_TRUE(report);
    EXPECT_EQ(report->serial, "VK<'\"&>");
    EXPECT_EQ(report->hospital, "M\xc3\xbcnster <b>");
    // Listed newest first, by serial and date, a page at a time.
    EXPECT_EQ(store->ReportCount().value(), 6);
    EXPECT_EQ(store->Reports(ReportQuery{}).value().at(0).reportDate, "2024-01-06T10:20:30");
    ReportQuery query;
    query.serial = "VKL";
    query.since = "2024-01-03";
    EXPECT_EQ(store->Reports(query).value().size(), 4u);
    query.limit = 1;
    query.offset = 1;
    EXPECT_EQ(store->Reports(query).value().at(0).reportDate, "2024-01-05T10:20:30");
}

TEST_P(ReportStoreTest, FleetSearchesSortsAndCountsNewErrors) {
    auto store = Open();
    ASSERT_TRUE(store);
    const struct {
        const char* serial;
        const char* hospital;
        int month;
        std::uint32_t exposures;
        int errors;
    } reports[] = {
        {"VKA1", "Haukeland 100%_Bergen", 3, 500, 4},
        {"VKA1", "Haukeland 100%_Bergen", 5, 900, 9},
        {"VKA1", "Old name", 4, 900, 7},  // older, arriving late: not the newest
        {"vkb2", "Ullevaal", 6, 100, 12},
        {"VKC3", "haukeland annex", 1, 7000, 10},
        {"VKC3", "haukeland annex", 2, 7000, 8},  // counter reset after a repair
    };
    for (const auto& r : reports) {
        test::Visit v = test::Of(r.serial, r.hospital, r.month);
        v.exposures = r.exposures;
        v.errorCounter = r.errors;
        Put(*store, v);
    }

    const std::vector<FleetRow> rows = store->Fleet(FleetQuery{}).value();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].generator.serial, "vkb2");  // newest first by default
    EXPECT_FALSE(rows[0].newErrors);              // one report: nothing to compare
    EXPECT_EQ(rows[1].generator.hospital, "Haukeland 100%_Bergen");
    EXPECT_EQ(rows[1].generator.reports, 3);
    EXPECT_EQ(rows[1].exposuresTotal, 900);
    EXPECT_EQ(rows[1].newErrors, 2);  // 9 against the report of April, not the last arrival
    EXPECT_EQ(rows[2].newErrors, -2);

    // Generators of one report sort last either way; searches ignore case,
    // take "%" and "_" as themselves and a zero byte (which PostgreSQL
    // refuses in a text) as a character no generator has.
    const struct {
        std::string search;
        FleetSort sort;
        bool descending;
        std::vector<std::string> serials;
    } queries[] = {{"", FleetSort::NewErrors, true, {"VKA1", "VKC3", "vkb2"}},
                   {"", FleetSort::NewErrors, false, {"VKC3", "VKA1", "vkb2"}},
                   {"haukeland", FleetSort::Serial, false, {"VKA1", "VKC3"}},
                   {"VKB", FleetSort::Serial, false, {"vkb2"}},
                   {"%", FleetSort::Serial, false, {"VKA1"}},
                   {"_", FleetSort::Serial, false, {"VKA1"}},
                   {std::string("VKA\0", 4), FleetSort::Serial, false, {"VKA1"}}};
    for (const auto& q : queries) {
        FleetQuery query;
        query.search = q.search;
        query.sort = q.sort;
        query.descending = q.descending;
        const Result<std::vector<FleetRow>> found = store->Fleet(query);
        ASSERT_TRUE(found) << q.search;
        std::vector<std::string> serials;
        for (const FleetRow& row : found.value()) {
            serials.push_back(row.generator.serial);
        }
        EXPECT_EQ(serials, q.serials) << q.search << " " << q.descending;
        EXPECT_EQ(store->FleetCount(q.search).value(), static_cast<std::int64_t>(q.serials.size()))
            << q.search;
    }
}

// A store made before the generators' rows kept the fleet's figures gets
// them from its reports when it is opened.
TEST_P(ReportStoreTest, StoreWithoutFleetFiguresGetsThemFromItsReports) {
    {
        auto store = Open();
        ASSERT_TRUE(store);
        test::Visit v = test::Of("VKM1", "H", 1);
        v.errorCounter = 3;
        Put(*store, v);
        v.month = 2;
        v.errorCounter = 8;
        v.exposures = 4321;
        Put(*store, v);
    }
    {
        const QString name = "old-schema";
        QSqlDatabase db = QSqlDatabase::addDatabase(
            m_url.kind == DatabaseUrl::Kind::Sqlite ? "QSQLITE" : "QPSQL", name);
        db.setDatabaseName(QString::fromStdString(
            m_url.kind == DatabaseUrl::Kind::Sqlite ? m_url.path : m_url.database));
        db.setHostName(QString::fromStdString(m_url.host));
        db.setUserName(QString::fromStdString(m_url.user));
        ASSERT_TRUE(db.open());
        QSqlQuery drop(db);
        EXPECT_TRUE(drop.exec("ALTER TABLE generators DROP COLUMN new_errors"));
        EXPECT_TRUE(drop.exec("ALTER TABLE generators DROP COLUMN exposures_total"));
        drop = QSqlQuery();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    auto store = Open();
    ASSERT_TRUE(store);
    const std::vector<FleetRow> rows = store->Fleet(FleetQuery{}).value();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].exposuresTotal, 4321);
    EXPECT_EQ(rows[0].newErrors, 5);
}

TEST_P(ReportStoreTest, PreviousReportErrorCodesAndServiceVisits) {
    auto store = Open();
    ASSERT_TRUE(store);
    test::Visit v = test::Of("VKP1", "H");
    v.logEntries = 2;
    const std::int64_t first = Put(*store, v);
    v.month = 3;
    v.logEntries = 3;  // the same two entries again, and one more
    v.historyDate = "2024/02/20";
    v.historyCause = "Arcing";
    const std::int64_t third = Put(*store, v);
    v.month = 2;
    v.historyDate.clear();
    v.historyCause.clear();
    const std::int64_t second = Put(*store, v);  // arrives last, sits between by date
    Put(*store, test::Of("VKOTHER", "H"));

    EXPECT_EQ(store->PreviousReport(first).value(), std::nullopt);
    EXPECT_EQ(store->PreviousReport(second).value(), first);
    EXPECT_EQ(store->PreviousReport(third).value(), second);
    // Each log entry counted once, however many reports carry it.
    EXPECT_EQ(store->ErrorCodes("VKP1").value().size(), 3u);
    const auto visits = store->ServiceHistory("VKP1").value();
    ASSERT_EQ(visits.size(), 1u);
    EXPECT_EQ(visits[0].firstReportId, third);
}

INSTANTIATE_TEST_SUITE_P(Databases, ReportStoreTest,
                         ::testing::Values(test::Backend::Sqlite, test::Backend::Postgresql),
                         test::BackendName);

}  // namespace
}  // namespace vok::center
