// The console: what changed between two reports, the fleet and generator
// views of the store on SQLite and PostgreSQL, escaping on every page, CSV
// quoting, and the login every page asks for.
#include <gtest/gtest.h>

#include <algorithm>

#include "CenterTestSupport.h"
#include "ConsoleFixtures.h"
#include "center/ConsolePage.h"
#include "center/FleetPage.h"
#include "center/GeneratorPage.h"
#include "center/ReportChanges.h"
#include "center/ReportIndexer.h"
#include "center/ReportStore.h"
#include "support/TempDir.h"

namespace vok::center {
namespace {

using test::BodyOf;
using test::Exchange;
using test::Get;
using test::HeaderOf;
using test::RunningCenter;
using test::StatusOf;
using test::Visit;
using test::VisitBytes;

const DefinitionFile& Definitions() {
    static const DefinitionFile definitions = DefinitionFile::Load(test::kExampleDefinitions);
    return definitions;
}

Visit Of(const std::string& serial, const std::string& hospital) {
    Visit v;
    v.serial = serial;
    v.hospital = hospital;
    return v;
}

Visit Base() {
    Visit v;
    v.serial = "VK5001";
    v.hospital = "Ullevaal";
    return v;
}

std::vector<std::string> CounterNames(const ReportChanges& c) {
    std::vector<std::string> names;
    for (const auto& counter : c.counters) {
        names.push_back(counter.name);
    }
    return names;
}

std::vector<std::string> CalibrationNames(const ReportChanges& c) {
    std::vector<std::string> names;
    for (const auto& value : c.calibration) {
        names.push_back(value.table + ": " + value.item + " " + value.before + " -> " +
                        value.after);
    }
    return names;
}

// --- Since the previous report -------------------------------------------

TEST(ReportChanges, NamesExactlyWhatChangedBetweenTwoReports) {
    Visit before = Base();
    Visit after = before;
    after.day = 20;  // a later report alone changes nothing the page compares
    const auto same = ReportChanges::Between(VisitBytes(before), VisitBytes(after), Definitions());
    ASSERT_TRUE(same);
    EXPECT_TRUE(same->Empty()) << ::testing::PrintToString(CounterNames(*same));

    after.exposures = before.exposures + 1200;
    after.errorCounter = before.errorCounter + 2;
    after.logEntries = before.logEntries + 2;  // entries 4 and 5 are new
    after.highKvOffset = before.highKvOffset - 4;
    after.smallFocus10mA40kV = before.smallFocus10mA40kV + 9;
    const auto changed =
        ReportChanges::Between(VisitBytes(before), VisitBytes(after), Definitions());
    ASSERT_TRUE(changed) << changed.error();
    EXPECT_EQ(CounterNames(*changed),
              (std::vector<std::string>{"X-Ray Exposure Count ( Total )", "Total Error Count",
                                        "Total Error Message Log"}));
    ASSERT_EQ(changed->counters.size(), 3u);
    EXPECT_EQ(changed->counters[0].before, 48213);
    EXPECT_EQ(changed->counters[0].after, 48213 + 1200);
    EXPECT_EQ(changed->counters[2].after - changed->counters[2].before, 2);

    ASSERT_EQ(changed->newErrors.size(), 2u);
    EXPECT_EQ(changed->newErrors[0].code, 0x13);
    EXPECT_EQ(changed->newErrors[1].code, 0x14);
    EXPECT_EQ(changed->newErrors[1].time, "10:20:34");
    EXPECT_EQ(changed->newErrors[0].text, Definitions().GetErrorText(0x13));

    EXPECT_EQ(CalibrationNames(*changed),
              (std::vector<std::string>{
                  "Filament, kV Calibration Data: kV Calibration, High kV Offset 3 -> -1",
                  "Small Focus Calibration Table: 10 mA, 40 kV 150 -> 159"}));
}

TEST(ReportChanges, EntriesThatMovedInTheLogAreNotNewAndSlotsThatFillAre) {
    // The console's log moves up as it fills: the same entries at other
    // positions, one dropped off the top and one new one.
    DiagnosisData before = test::TestDiagnosis("VK5002", 4);
    DiagnosisData after = before;
    for (int i = 0; i < 3; ++i) {
        after.m_HtInfo[static_cast<std::size_t>(113 + 2 * i)] =
            before.m_HtInfo[static_cast<std::size_t>(113 + 2 * (i + 1))];
    }
    after.m_HtInfo[119].params[1] = 0x2A;  // the fourth entry now: a new code
    after.m_HtInfo[119].params[9] = 0x45;
    // A mA calibration history slot in use since then, and one AEC value.
    after.m_HtInfo[12].params = {1, 0x24, 0x05, 0x02, 3, 14, 120, 0, 42, 0};
    after.m_HtInfo[8].params[2] = 77;
    std::tm when{};
    when.tm_year = 124;
    when.tm_mday = 1;
    const SiteInfo site = test::TestSite("H");
    const auto changes =
        ReportChanges::Between(ReportFileWriter::Compose(site, before, when),
                               ReportFileWriter::Compose(site, after, when), Definitions());
    ASSERT_TRUE(changes) << changes.error();
    EXPECT_TRUE(changes->counters.empty());
    ASSERT_EQ(changes->newErrors.size(), 1u);
    EXPECT_EQ(changes->newErrors[0].code, 0x2A);
    EXPECT_EQ(changes->newErrors[0].entry, 3);

    const auto names = CalibrationNames(*changes);
    // AEC: the third item of channel 1; mA history: all seven rows of slot 4.
    EXPECT_EQ(std::count_if(names.begin(), names.end(),
                            [](const std::string& n) { return n.starts_with("AEC"); }),
              1);
    EXPECT_NE(std::find(names.begin(), names.end(),
                        "AEC Calibration Data: AEC Channel 1, RLF 0.5s 255 -> 77"),
              names.end())
        << ::testing::PrintToString(names);
    EXPECT_EQ(std::count_if(names.begin(), names.end(),
                            [](const std::string& n) {
                                return n.starts_with("Automatic mA Calibration History: slot 4, ");
                            }),
              7);
    EXPECT_NE(std::find(names.begin(), names.end(),
                        "Automatic mA Calibration History: slot 4, Date  -> 2024/05/02"),
              names.end())
        << ::testing::PrintToString(names);
}

TEST(ReportChanges, RefusesWhatIsNotAReport) {
    const auto changes = ReportChanges::Between("junk", VisitBytes(Base()), Definitions());
    ASSERT_FALSE(changes);
    EXPECT_NE(changes.error().find("earlier report"), std::string::npos) << changes.error();
}

// --- Small texts ---------------------------------------------------------

TEST(ConsoleText, CsvFieldsQuoteAndDisarmFormulas) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"", ""},
        {"plain", "plain"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"=1+2", "'=1+2"},
        {"+41 22", "'+41 22"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tx", "'\tx"},
        {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
        {"a=b", "a=b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FleetPage::CsvField(c.in), c.out) << c.in;
    }
}

TEST(ConsoleText, DatesAndAddresses) {
    EXPECT_EQ(ConsolePage::DaysBetween("2024-01-30T10:00:00", "2024-03-01"), 31);
    EXPECT_EQ(ConsolePage::DaysBetween("2024-03-02", "2024-03-01"), -1);
    for (const char* bad : {"", "2024-02-30", "2024/01/01", "2024-1-1"}) {
        EXPECT_FALSE(ConsolePage::DaysBetween(bad, "2024-03-01")) << bad;
    }
    EXPECT_EQ(ConsolePage::ShortDate("2026-12-06T14:22:31Z"), "2026-12-06 14:22");
    EXPECT_EQ(ConsolePage::ShortDate("odd"), "odd");
    EXPECT_EQ(ConsolePage::UrlEncode("VK 1/<a>%"), "VK%201%2F%3Ca%3E%25");
    EXPECT_EQ(ConsolePage::Number(-1234567), "-1,234,567");
}

TEST(ConsoleText, FleetAddressesAlwaysGiveAPage) {
    const struct {
        std::map<std::string, std::string> fields;
        std::string sort;
        bool descending;
        std::int64_t page;
    } cases[] = {
        {{}, "last", true, 1},
        {{{"sort", "hospital"}, {"dir", "asc"}}, "hospital", false, 1},
        {{{"sort", "1;DROP TABLE reports"}}, "last", true, 1},
        {{{"page", "0"}}, "last", true, 1},
        {{{"page", "99999999999999999999"}}, "last", true, 1},
        {{{"page", "3"}}, "last", true, 3},
    };
    for (const auto& c : cases) {
        const auto params = FleetPage::Params::From(c.fields);
        EXPECT_EQ(params.sort, c.sort);
        EXPECT_EQ(params.descending, c.descending);
        EXPECT_EQ(params.page, c.page);
    }
    // A column's first click shows what an engineer looks for first: the
    // most overdue, the most used, the most errors; a second turns it round.
    const std::string page = FleetPage::Render({}, 0, FleetPage::Params{}, "2024-03-01");
    for (const char* link :
         {"/?sort=days&amp;dir=desc", "/?sort=exposures&amp;dir=desc", "/?sort=errors&amp;dir=desc",
          "/?sort=hospital&amp;dir=asc", "/?sort=last&amp;dir=asc"}) {
        EXPECT_NE(page.find(std::string("href=\"") + link + "\""), std::string::npos) << link;
    }
    // Pages keep the search and the sort; the last has no next.
    FleetPage::Params second;
    second.search = "St. Olav & <co>";
    second.sort = "hospital";
    second.descending = false;
    second.page = 2;
    const std::string middle = FleetPage::Render({}, 120, second, "2024-03-01");
    EXPECT_NE(middle.find("href=\"/?q=St.%20Olav%20%26%20%3Cco%3E&amp;sort=hospital&amp;dir=asc\""
                          ">Previous"),
              std::string::npos)
        << middle;
    EXPECT_NE(middle.find("sort=hospital&amp;dir=asc&amp;page=3\">Next"), std::string::npos);
    EXPECT_NE(middle.find("Page 2 of 3"), std::string::npos);
    second.page = 3;
    EXPECT_EQ(FleetPage::Render({}, 120, second, "2024-03-01").find(">Next<"), std::string::npos);
    // Days since runs the other way round from the dates it sorts on.
    FleetPage::Params days;
    days.sort = "days";
    days.descending = false;
    EXPECT_EQ(days.Query(50).sort, FleetSort::LastReport);
    EXPECT_TRUE(days.Query(50).descending);
}

TEST(ConsoleText, ChartDataCannotCloseItsScriptBlock) {
    ReportSummary r;
    r.reportDate = "2024-01-01T00:00:00";
    const std::string json =
        GeneratorPage::ChartData({r}, {{0x10, "</script><script>alert(1)</script>", 2}});
    EXPECT_EQ(json.find('<'), std::string::npos) << json;
    EXPECT_NE(json.find("\\u003c/script>"), std::string::npos) << json;
}

// --- The store's console views, on both databases ----------------------

class ConsoleStoreTest : public test::StoreTest {
protected:
    void SetUp() override {
        test::StoreTest::SetUp();
        if (!IsSkipped() && !HasFatalFailure()) {
            m_store = Open();
            ASSERT_TRUE(m_store);
        }
    }

    std::int64_t Put(const Visit& v) {
        const ReportIndexer indexer(std::size_t{4} << 20);
        Result<IndexedReport> indexed = indexer.Index(VisitBytes(v), "x.VOK", Definitions());
        EXPECT_TRUE(indexed);
        const Result<StoreOutcome> stored = m_store->Store(indexed.value());
        EXPECT_TRUE(stored);
        return stored ? stored->id : 0;
    }

    std::vector<std::string> Serials(const FleetQuery& query) {
        std::vector<std::string> serials;
        const Result<std::vector<FleetRow>> rows = m_store->Fleet(query);
        EXPECT_TRUE(rows);
        if (!rows) {
            return serials;
        }
        for (const FleetRow& row : rows.value()) {
            serials.push_back(row.generator.serial);
        }
        return serials;
    }

    std::unique_ptr<ReportStore> m_store;
};

TEST_P(ConsoleStoreTest, FleetSearchesSortsAndCountsNewErrors) {
    Visit a = Of("VKA1", "Haukeland 100%_Bergen");
    a.month = 3;
    a.exposures = 500;
    a.errorCounter = 4;
    Put(a);
    a.month = 5;
    a.exposures = 900;
    a.errorCounter = 9;
    Put(a);
    a.month = 4;  // an older report arriving late is not the newest
    a.errorCounter = 7;
    Put(a);
    Visit b = Of("vkb2", "Ullevaal");
    b.month = 6;
    b.exposures = 100;
    Put(b);
    Visit c = Of("VKC3", "haukeland annex");
    c.month = 1;
    c.exposures = 7000;
    c.errorCounter = 10;
    Put(c);
    c.month = 2;
    c.errorCounter = 8;  // counter reset after a repair
    Put(c);

    FleetQuery all;
    const Result<std::vector<FleetRow>> fleet = m_store->Fleet(all);
    ASSERT_TRUE(fleet);
    const std::vector<FleetRow>& rows = fleet.value();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].generator.serial, "vkb2");  // newest first by default
    EXPECT_FALSE(rows[0].newErrors);              // one report: nothing to compare
    EXPECT_EQ(rows[1].generator.serial, "VKA1");
    EXPECT_EQ(rows[1].exposuresTotal, 900);
    EXPECT_EQ(rows[1].newErrors, 2);  // 9 against the report of April, not the last arrival
    EXPECT_EQ(rows[2].newErrors, -2);

    const struct {
        FleetSort sort;
        bool descending;
        std::vector<std::string> serials;
    } orders[] = {
        {FleetSort::Serial, false, {"VKA1", "VKC3", "vkb2"}},
        {FleetSort::Hospital, false, {"VKA1", "vkb2", "VKC3"}},
        {FleetSort::Exposures, true, {"VKC3", "VKA1", "vkb2"}},
        {FleetSort::NewErrors, true, {"VKA1", "VKC3", "vkb2"}},   // none last
        {FleetSort::NewErrors, false, {"VKC3", "VKA1", "vkb2"}},  // none last either way
        {FleetSort::LastReport, false, {"VKC3", "VKA1", "vkb2"}},
    };
    for (const auto& o : orders) {
        FleetQuery query;
        query.sort = o.sort;
        query.descending = o.descending;
        EXPECT_EQ(Serials(query), o.serials) << static_cast<int>(o.sort) << o.descending;
    }

    const struct {
        std::string search;
        std::vector<std::string> serials;
    } searches[] = {
        {"haukeland", {"VKA1", "VKC3"}},  // hospital, any case
        {"VKB", {"vkb2"}},                // serial, any case
        {"%", {"VKA1"}},                  // taken as the character, not as "anything"
        {"_", {"VKA1"}},
        {"nothing like it", {}},
    };
    for (const auto& s : searches) {
        FleetQuery query;
        query.search = s.search;
        query.sort = FleetSort::Serial;
        query.descending = false;
        EXPECT_EQ(Serials(query), s.serials) << s.search;
        EXPECT_EQ(m_store->FleetCount(s.search).value(),
                  static_cast<std::int64_t>(s.serials.size()))
            << s.search;
    }

    // A zero byte in a search is no character any generator has; PostgreSQL
    // refuses it in a text parameter.
    FleetQuery zero;
    zero.search = std::string("VKA\0", 4);
    EXPECT_EQ(Serials(zero), std::vector<std::string>{"VKA1"});
    EXPECT_EQ(m_store->FleetCount(zero.search).value(), 1);

    FleetQuery second;
    second.sort = FleetSort::Serial;
    second.descending = false;
    second.limit = 2;
    second.offset = 2;
    EXPECT_EQ(Serials(second), std::vector<std::string>{"vkb2"});
}

TEST_P(ConsoleStoreTest, PreviousReportErrorCodesAndServiceVisits) {
    Visit v = Of("VKP1", "H");
    v.month = 1;
    v.logEntries = 2;
    const std::int64_t first = Put(v);
    v.month = 3;
    v.logEntries = 3;  // the same two entries again, and one more
    v.historyDate = "2024/02/20";
    v.historyCause = "Arcing";
    v.historyAction = "Tube replaced";
    const std::int64_t third = Put(v);
    v.month = 2;
    v.historyDate.clear();
    v.historyCause.clear();
    v.historyAction.clear();
    const std::int64_t second = Put(v);  // arrives last, sits between by date
    Put(Of("VKOTHER", "H"));

    EXPECT_EQ(m_store->PreviousReport(first).value(), std::nullopt);
    EXPECT_EQ(m_store->PreviousReport(second).value(), first);
    EXPECT_EQ(m_store->PreviousReport(third).value(), second);
    EXPECT_EQ(m_store->PreviousReport(99999).value(), std::nullopt);

    const auto codes = m_store->ErrorCodes("VKP1").value();
    ASSERT_EQ(codes.size(), 3u);  // each entry once, however many reports carry it
    for (const ErrorCodeCount& c : codes) {
        EXPECT_EQ(c.count, 1) << c.code;
        EXPECT_EQ(c.text, Definitions().GetErrorText(c.code));
    }
    EXPECT_EQ(codes[0].code, 0x10);

    const auto visits = m_store->ServiceHistory("VKP1").value();
    ASSERT_EQ(visits.size(), 1u);
    EXPECT_EQ(visits[0].cause, "Arcing");
    EXPECT_EQ(visits[0].firstReportId, third);
    EXPECT_TRUE(m_store->ServiceHistory("VKNONE").value().empty());
}

INSTANTIATE_TEST_SUITE_P(Databases, ConsoleStoreTest,
                         ::testing::Values(test::Backend::Sqlite, test::Backend::Postgresql),
                         test::BackendName);

// --- The pages through the server ----------------------------------------

using vok::test::kBasic;

class ConsolePagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_center = std::make_unique<RunningCenter>(test::SqliteConfig(m_dir));
        ASSERT_TRUE(m_center->ok() && m_center->AddUser());
    }

    void Upload(const Visit& v) {
        ASSERT_EQ(BodyOf(Exchange(m_center->port(),
                                  test::SiteUpload("C:\\VOK\\<b>n</b>.VOK", VisitBytes(v)))),
                  "200\n");
    }

    std::string Page(const std::string& target) {
        const std::string answer = Get(m_center->port(), target, kBasic);
        EXPECT_EQ(StatusOf(answer), 200) << target;
        return answer;
    }

    vok::test::TempDir m_dir;
    std::unique_ptr<RunningCenter> m_center;
};

TEST_F(ConsolePagesTest, MarkupInSiteStringsAndSerialIsTextOnEveryPage) {
    Visit v;
    v.serial = "<i>V</i>'&";  // the ten characters a serial holds
    v.hospital = "<script>alert(1)</script>";
    v.address = "<img src=x onerror=alert(2)>";
    v.historyCause = "<b>cause</b>";
    v.historyAction = "\"><svg onload=alert(3)>";
    Upload(v);
    v.month = 2;
    v.errorCounter += 1;
    Upload(v);

    const std::string serialPath = "/generators/" + ConsolePage::UrlEncode(v.serial);
    for (const std::string& target :
         {std::string("/"), "/?q=" + ConsolePage::UrlEncode("<script>"), serialPath,
          std::string("/reports/1"), std::string("/reports/2")}) {
        const std::string answer = Page(target);
        const std::string body = BodyOf(answer);
        for (const char* raw :
             {"<script>alert", "<i>V", "<img src=x", "<b>cause", "<b>n</b>", "<svg", "</i>'&"}) {
            EXPECT_EQ(body.find(raw), std::string::npos) << target << " holds " << raw;
        }
        EXPECT_NE(body.find("&lt;i&gt;V&lt;/i&gt;&#39;&amp;"), std::string::npos) << target;
        // Scripts only from the center, none inline.
        EXPECT_NE(HeaderOf(answer, "Content-Security-Policy").find("script-src 'self'"),
                  std::string::npos);
        for (std::size_t at = body.find("<script"); at != std::string::npos;
             at = body.find("<script", at + 1)) {
            const std::string tag = body.substr(at, body.find('>', at) - at);
            EXPECT_TRUE(tag.find(" src=\"/static/") != std::string::npos ||
                        tag.find("type=\"application/json\"") != std::string::npos)
                << target << ": " << tag;
        }
    }
    const std::string generator = BodyOf(Page(serialPath));
    EXPECT_NE(generator.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(generator.find("&lt;b&gt;cause&lt;/b&gt;"), std::string::npos);

    const std::string csv = Page("/generators.csv");
    EXPECT_NE(HeaderOf(csv, "Content-Type").find("text/csv"), std::string::npos);
    EXPECT_NE(BodyOf(csv).find(
                  "<i>V</i>'&,VOK-82,<script>alert(1)</script>,<img src=x onerror=alert(2)>,"),
              std::string::npos)
        << BodyOf(csv);
}

TEST_F(ConsolePagesTest, EveryPageAsksForALoginAndStaticFilesDoNot) {
    Upload(Base());
    for (const char* target :
         {"/", "/?q=VK", "/generators.csv", "/generators/VK5001", "/reports/1", "/reports/1/html",
          "/reports/1/file", "/generators/unknown", "/reports/999"}) {
        const std::string answer = Get(m_center->port(), target);
        EXPECT_EQ(StatusOf(answer), 303) << target;
        EXPECT_EQ(HeaderOf(answer, "Location"), "/login") << target;
        EXPECT_EQ(BodyOf(answer).find("VK5001"), std::string::npos) << target;
    }
    const std::string style = Get(m_center->port(), "/static/console.css");
    EXPECT_EQ(StatusOf(style), 200);
    EXPECT_NE(HeaderOf(style, "Content-Type").find("text/css"), std::string::npos);
    EXPECT_EQ(HeaderOf(style, "Cache-Control"), "private, max-age=3600");
    EXPECT_EQ(StatusOf(Get(m_center->port(), "/static/console.js")), 200);
    // Pages with report data are never kept by the browser.
    EXPECT_EQ(HeaderOf(Get(m_center->port(), "/", kBasic), "Cache-Control"), "no-store");
    EXPECT_EQ(HeaderOf(Get(m_center->port(), "/reports/1", kBasic), "Cache-Control"), "no-store");
    EXPECT_EQ(StatusOf(Get(m_center->port(), "/static/../center.db")), 404);
    EXPECT_EQ(StatusOf(Get(m_center->port(), "/static/nothing.js")), 404);

    EXPECT_EQ(StatusOf(Get(m_center->port(), "/generators/unknown", kBasic)), 404);
    EXPECT_EQ(StatusOf(Get(m_center->port(), "/generators/VK%00", kBasic)), 404);
    EXPECT_EQ(StatusOf(Get(m_center->port(), "/?q=VK%00", kBasic)), 200);
    EXPECT_EQ(StatusOf(Get(m_center->port(), "/reports/999", kBasic)), 404);
}

TEST_F(ConsolePagesTest, ReportPageEmbedsTheSiteReportAndComparesWithThePreviousOne) {
    Visit v = Base();
    Upload(v);
    const std::string first = BodyOf(Page("/reports/1"));
    EXPECT_NE(first.find("first report of this generator"), std::string::npos);
    v.month = 2;
    v.exposures += 10;
    v.logEntries += 1;
    Upload(v);
    const std::string second = BodyOf(Page("/reports/2"));
    EXPECT_NE(second.find("<iframe class=\"report-frame\" title=\"HTML report\" sandbox "
                          "src=\"/reports/2/html\">"),
              std::string::npos);
    EXPECT_NE(second.find("href=\"/reports/2/file\""), std::string::npos);
    EXPECT_NE(second.find("href=\"/reports/1\""), std::string::npos);
    EXPECT_NE(second.find("+10"), std::string::npos);
    EXPECT_NE(second.find(Definitions().GetErrorText(0x13)), std::string::npos);
    EXPECT_NE(second.find("No calibration value changed."), std::string::npos);
}

}  // namespace
}  // namespace vok::center
