// What a crash in the middle of many sites' uploads leaves behind.

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <set>
#include <thread>

#include "CenterProcess.h"

namespace vok::test {
namespace {

class CenterCrashTest : public testing::TestWithParam<bool> {};  // PostgreSQL, else SQLite

// Uploads from many sites at once; the center is killed without warning while
// they run and started again. What it answered "200" for must be there,
// whole; what it did not may be there only whole.
TEST_P(CenterCrashTest, KilledMidUploadsKeepsEveryAnsweredReportAndNoHalfOne) {
    constexpr int kReports = 240;
    constexpr int kSenders = 16;
    constexpr int kKillAfter = 60;
    std::string whyNot;
    const std::string database = GetParam() ? FreshPostgres(whyNot) : "";
    if (!whyNot.empty()) {
        GTEST_SKIP() << whyNot;
    }
    ASSERT_EQ(database.empty(), !GetParam());
    CenterProcess center(database);
    ASSERT_TRUE(center.UserAdded());
    ASSERT_TRUE(center.Start()) << center.Log();
    const std::vector<std::string> paths = center.WriteReports(kReports);

    std::vector<std::atomic<bool>> answered(kReports);
    std::atomic<int> next = 0;
    std::atomic<int> stored = 0;
    std::vector<std::thread> senders;
    for (int s = 0; s < kSenders; ++s) {
        senders.emplace_back([&] {
            for (int i; (i = next++) < kReports;) {
                const auto sent = center.Upload(paths[i]);
                if (sent && *sent) {
                    answered[i] = true;
                    ++stored;
                }
            }
        });
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (stored < kKillAfter && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const int killed = center.Kill();
    ASSERT_TRUE(WIFSIGNALED(killed) && WTERMSIG(killed) == SIGKILL) << killed;
    const int storedAtKill = stored;
    for (auto& sender : senders) {
        sender.join();
    }
    ASSERT_GE(storedAtKill, kKillAfter);
    ASSERT_LT(storedAtKill, kReports) << "all stored before the kill: nothing was in flight";

    ASSERT_TRUE(center.Start()) << center.Log();
    std::map<std::string, int> byContent;
    for (int i = 0; i < kReports; ++i) {
        byContent[ReadAll(paths[i])] = i;
    }
    std::set<int> kept;
    for (const std::string& id : center.ReportIds()) {
        const auto found = byContent.find(center.File(id));
        ASSERT_NE(found, byContent.end()) << "report " << id << " is not a sent file";
        EXPECT_TRUE(kept.insert(found->second).second) << paths[found->second] << " kept twice";
    }
    for (int i = 0; i < kReports; ++i) {
        EXPECT_TRUE(!answered[i] || kept.count(i)) << paths[i] << " was answered 200 and is lost";
    }
    // The restarted center takes the rest as if nothing had happened.
    for (int i = 0; i < kReports; ++i) {
        if (!kept.count(i)) {
            const auto sent = center.Upload(paths[i]);
            ASSERT_TRUE(sent && *sent) << paths[i];
        }
    }
    EXPECT_EQ(center.ReportIds().size(), std::size_t{kReports});
}

INSTANTIATE_TEST_SUITE_P(Stores, CenterCrashTest, testing::Bool(),
                         [](const auto& test) { return test.param ? "PostgreSQL" : "SQLite"; });

}  // namespace
}  // namespace vok::test
