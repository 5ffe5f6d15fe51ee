// The console: what changed since the previous report, escaping on every
// page, CSV quoting, fleet addresses.
#include <gtest/gtest.h>

#include <algorithm>

#include "CenterTestSupport.h"
#include "center/ConsolePage.h"
#include "center/FleetPage.h"
#include "center/GeneratorPage.h"
#include "center/ReportChanges.h"

namespace vok::center {
namespace {

using namespace test;

const DefinitionFile& Definitions() {
    static const DefinitionFile definitions = DefinitionFile::Load(test::kExampleDefinitions);
    return definitions;
}

// Each changed counter, then each calibration value as "table: item a -> b".
std::vector<std::string> Names(const ReportChanges& c) {
    std::vector<std::string> names;
    for (const auto& counter : c.counters) {
        names.push_back(counter.name);
    }
    for (const auto& value : c.calibration) {
        names.push_back(value.table + ": " + value.item + " " + value.before + " -> " +
                        value.after);
    }
    return names;
}

TEST(ReportChanges, NamesExactlyWhatChangedBetweenTwoReports) {
    const Visit before;
    Visit after = before;
    after.day = 20;  // a later report alone changes nothing the page compares
    const auto same = ReportChanges::Between(VisitBytes(before), VisitBytes(after), Definitions());
    ASSERT_TRUE(same);
    EXPECT_TRUE(same->Empty()) << ::testing::PrintToString(Names(*same));

    after.exposures = before.exposures + 1200;
    after.errorCounter = before.errorCounter + 2;
    after.logEntries = before.logEntries + 2;  // entries 4 and 5 are new
    after.highKvOffset = before.highKvOffset - 4;
    after.smallFocus10mA40kV = before.smallFocus10mA40kV + 9;
    const auto changed =
        ReportChanges::Between(VisitBytes(before), VisitBytes(after), Definitions());
    ASSERT_TRUE(changed) << changed.error();
    EXPECT_EQ(Names(*changed),
              (std::vector<std::string>{
                  "X-Ray Exposure Count ( Total )", "Total Error Count", "Total Error Message Log",
                  "Filament, kV Calibration Data: kV Calibration, High kV Offset 3 -> -1",
                  "Small Focus Calibration Table: 10 mA, 40 kV 150 -> 159"}));
    EXPECT_EQ(changed->counters[0].after - changed->counters[0].before, 1200);
    ASSERT_EQ(changed->newErrors.size(), 2u);
    EXPECT_EQ(changed->newErrors[0].code, 0x13);
    EXPECT_EQ(changed->newErrors[1].code, 0x14);
    EXPECT_EQ(changed->newErrors[1].time, "10:20:34");

    const auto junk = ReportChanges::Between("junk", VisitBytes(before), Definitions());
    ASSERT_FALSE(junk);
    EXPECT_NE(junk.error().find("earlier report"), std::string::npos) << junk.error();
}

TEST(ReportChanges, EntriesThatMovedInTheLogAreNotNewAndSlotsThatFillAre) {
    // The console's log moves up as it fills: the same entries at other
    // positions, one dropped off the top and one new one.
    const DiagnosisData before = test::TestDiagnosis("VK5002", 4);
    DiagnosisData after = before;
    for (std::size_t i = 0; i < 3; ++i) {
        after.m_HtInfo[113 + 2 * i] = before.m_HtInfo[113 + 2 * (i + 1)];
    }
    after.m_HtInfo[119].params[1] = 0x2A;  // the fourth entry now: a new code
    after.m_HtInfo[119].params[9] = 0x45;
    // A mA calibration history slot in use since then, and one AEC value.
    after.m_HtInfo[12].params = {1, 0x24, 0x05, 0x02, 3, 14, 120, 0, 42, 0};
    after.m_HtInfo[8].params[2] = 77;
    const SiteInfo site = test::TestSite("H");
    const std::tm when{};
    const auto changes =
        ReportChanges::Between(ReportFileWriter::Compose(site, before, when),
                               ReportFileWriter::Compose(site, after, when), Definitions());
    ASSERT_TRUE(changes) << changes.error();
    EXPECT_TRUE(changes->counters.empty());
    ASSERT_EQ(changes->newErrors.size(), 1u);
    EXPECT_EQ(changes->newErrors[0].code, 0x2A);
    EXPECT_EQ(changes->newErrors[0].entry, 3);
    // AEC: the third item of channel 1; mA history: all seven rows of slot 4.
    const auto names = Names(*changes);
    EXPECT_EQ(std::count_if(names.begin(), names.end(),
                            [](const std::string& n) {
                                return n.starts_with("Automatic mA Calibration History: slot 4, ");
                            }),
              7);
    EXPECT_EQ(names.size(), 8u) << ::testing::PrintToString(names);
    for (const char* change : {"AEC Calibration Data: AEC Channel 1, RLF 0.5s 255 -> 77",
                               "Automatic mA Calibration History: slot 4, Date  -> 2024/05/02"}) {
        EXPECT_EQ(std::count(names.begin(), names.end(), change), 1)
            << change << " in " << ::testing::PrintToString(names);
    }
}

TEST(ConsoleText, CsvFieldsQuoteAndDisarmFormulas) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {{"plain", "plain"},
                 {"a,b", "\"a,b\""},
                 {"say \"hi\"", "\"say \"\"hi\"\"\""},
                 {"two\nlines", "\"two\nlines\""},
                 {"=1+2", "'=1+2"},
                 {"+41 22", "'+41 22"},
                 {"@SUM(A1)", "'@SUM(A1)"},
                 {"\tx", "'\tx"},
                 {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
                 {"a=b", "a=b"}};
    for (const auto& c : cases) {
        EXPECT_EQ(FleetPage::CsvField(c.in), c.out) << c.in;
    }
}

TEST(ConsoleText, FleetAddressesAlwaysGiveAPageAndPagesKeepTheSearchAndSort) {
    for (const auto& [fields, want] :
         std::vector<std::pair<std::map<std::string, std::string>, std::string>>{
             {{{"sort", "1;DROP TABLE reports"}}, "last desc 1"},
             {{{"page", "99999999999999999999"}}, "last desc 1"},
             {{{"page", "3"}}, "last desc 3"}}) {
        const auto p = FleetPage::Params::From(fields);
        EXPECT_EQ(p.sort + (p.descending ? " desc " : " asc ") + std::to_string(p.page), want);
    }
    FleetPage::Params second = FleetPage::Params::From(
        {{"q", "St. Olav & <co>"}, {"sort", "hospital"}, {"dir", "asc"}, {"page", "2"}});
    const std::string middle = FleetPage::Render({}, 120, second, "2024-03-01");
    EXPECT_NE(middle.find("href=\"/?q=St.%20Olav%20%26%20%3Cco%3E&amp;sort=hospital&amp;dir=asc\""
                          ">Previous"),
              std::string::npos)
        << middle;
    EXPECT_NE(middle.find("sort=hospital&amp;dir=asc&amp;page=3\">Next"), std::string::npos);
    second.page = 3;
    EXPECT_EQ(FleetPage::Render({}, 120, second, "2024-03-01").find(">Next<"), std::string::npos);
}

TEST(ConsoleText, ChartDataCannotCloseItsScriptBlock) {
    ReportSummary r;
    r.reportDate = "2024-01-01T00:00:00";
    const std::string json =
        GeneratorPage::ChartData({r}, {{0x10, "</script><script>alert(1)</script>", 2}});
    EXPECT_EQ(json.find('<'), std::string::npos) << json;
    EXPECT_NE(json.find("\\u003c/script>"), std::string::npos) << json;
}

// Markup in site strings, serial and file name: text on pages, data in JSON.
TEST(ConsolePages, MarkupInReportsIsTextOnEveryPageAndDataInJsonAndCsv) {
    test::CenterProcess center;
    ASSERT_TRUE(center.UserAdded() && center.Start()) << center.Log();
    // The ten characters a serial holds.
    Visit v = test::Of("<i>V</i>'&", "<script>alert(1)</script>");
    v.address = "<img src=x onerror=alert(2)>";
    v.historyCause = "<b>cause</b>";
    v.historyAction = "\"><svg onload=alert(3)>";
    for (int month = 1; month <= 2; ++month) {
        v.month = month;
        ASSERT_EQ(BodyOf(test::Exchange(center.Port(),
                                        test::SiteUpload("C:\\VOK\\<b>n</b>.VOK", VisitBytes(v)))),
                  "200\n");
    }
    const auto page = [&](const std::string& target) {
        const std::string answer = Get(center.Port(), target, kBasic);
        EXPECT_EQ(test::StatusOf(answer), 200) << target;
        return answer;
    };
    for (const std::string& target :
         {std::string("/"), "/generators/" + ConsolePage::UrlEncode(v.serial),
          std::string("/reports/2")}) {
        const std::string answer = page(target);
        const std::string body = BodyOf(answer);
        for (const char* raw :
             {"<script>alert", "<i>V", "<img src=x", "<b>cause", "<b>n</b>", "<svg", "</i>'&"}) {
            EXPECT_EQ(body.find(raw), std::string::npos) << target << " holds " << raw;
        }
        EXPECT_NE(body.find("&lt;i&gt;V&lt;/i&gt;&#39;&amp;"), std::string::npos) << target;
        // Scripts only from the center.
        EXPECT_NE(HeaderOf(answer, "Content-Security-Policy").find("script-src 'self'"),
                  std::string::npos);
    }
    // The site's own HTML report only in a sandbox.
    EXPECT_NE(BodyOf(page("/reports/2"))
                  .find("<iframe class=\"report-frame\" title=\"HTML report\" sandbox "
                        "src=\"/reports/2/html\">"),
              std::string::npos);
    for (const char* api : {"/api/reports", "/api/generators"}) {
        const std::string json = BodyOf(page(api));
        EXPECT_NE(json.find("\"hospital\":\"<script>alert(1)</script>\""), std::string::npos)
            << json;
        EXPECT_NE(json.find("\"serial\":\"<i>V</i>'&\""), std::string::npos) << json;
    }
    EXPECT_NE(
        BodyOf(page("/generators.csv"))
            .find("<i>V</i>'&,VOK-82,<script>alert(1)</script>,<img src=x onerror=alert(2)>,"),
        std::string::npos);
    // A zero byte in an address finds nothing instead of failing the page.
    EXPECT_EQ(test::StatusOf(Get(center.Port(), "/generators/VK%00", kBasic)), 404);
    EXPECT_EQ(test::StatusOf(Get(center.Port(), "/?q=VK%00", kBasic)), 200);
}

}  // namespace
}  // namespace vok::center
