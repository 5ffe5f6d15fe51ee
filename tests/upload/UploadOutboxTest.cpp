#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "LoopbackHttpServer.h"
#include "support/TempDir.h"
#include "upload/UploadOutbox.h"

namespace vok {
namespace {

using namespace std::chrono_literals;
using test::LoopbackHttpServer;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using Fate = UploadOutbox::Sent::Fate;

class UploadOutboxTest : public ::testing::Test {
protected:
    UploadOutboxTest() : m_reports(m_dir.path() / "REPORT"), m_outbox(m_reports) {}

    std::string Report(const std::string& name) const {
        return m_dir.Write("REPORT/" + name, "[DIAGNOSIS]\r\nSERIAL=" + name + "\r\n");
    }

    // The report paths in the outbox, oldest first.
    std::vector<std::string> Waiting() const {
        std::vector<std::string> paths;
        const Result<std::vector<UploadOutbox::Entry>> entries = m_outbox.List();
        for (const UploadOutbox::Entry& entry : entries.value()) {
            paths.push_back(entry.reportPath.empty() ? "?" + entry.problem : entry.reportPath);
        }
        return paths;
    }

    static ServiceCenterUpload To(std::uint16_t port) {
        ServiceCenterUpload client;
        client.SetServer(UploadServer("127.0.0.1", port));
        client.SetRequestTimeout(20s);
        return client;
    }

    // Sends the outbox; each report's fate, in order.
    std::vector<std::pair<Fate, std::string>> SendAll(std::uint16_t port, bool* empty = nullptr) {
        std::vector<std::pair<Fate, std::string>> told;
        const Result<bool> ended = m_outbox.SendAll(To(port), [&](const UploadOutbox::Sent& sent) {
            told.emplace_back(sent.fate, sent.entry.reportPath);
        });
        EXPECT_TRUE(ended.ok()) << ended.error();
        if (empty != nullptr && ended.ok()) {
            *empty = *ended;
        }
        return told;
    }

    test::TempDir m_dir;
    std::filesystem::path m_reports;
    UploadOutbox m_outbox;
};

// One entry per report, in the order they first failed; the same report
// failing again keeps its place. Only a decision takes it out.
TEST_F(UploadOutboxTest, EachSendSettlesItsOwnEntryAndTheQueueKeepsItsOrder) {
    using O = UploadResult::Outcome;
    const std::string a = Report("REPORT_A_20260102_030405.VOK");
    const std::string b = Report("REPORT_B_20260102_030405.VOK");
    const std::string c = Report("REPORT_C_20260102_030405.VOK");
    const auto settle = [&](const std::string& path, O outcome) {
        ASSERT_TRUE(m_outbox.Settle(path, {outcome, 0, {}}).ok());
    };
    settle(b, O::NotSent);
    EXPECT_THAT(Waiting(), IsEmpty());
    EXPECT_FALSE(std::filesystem::exists(m_outbox.Folder()));
    settle(c, O::Unavailable);
    settle(a, O::Unavailable);
    settle(b, O::Unavailable);
    settle(c, O::Unavailable);
    EXPECT_THAT(Waiting(), ElementsAre(c, a, b));
    settle(a, O::Accepted);
    settle(b, O::NotSent);
    EXPECT_THAT(Waiting(), ElementsAre(c, b));
    settle(c, O::Refused);
    settle(c, O::Refused);
    EXPECT_THAT(Waiting(), ElementsAre(b));

    // Same file name, another folder: another report, another entry.
    const std::string elsewhere = m_dir.Write("old/REPORT_B_20260102_030405.VOK", "x");
    ASSERT_TRUE(m_outbox.Add(elsewhere).ok());
    EXPECT_THAT(Waiting(), ElementsAre(b, elsewhere));
    // Nothing but the entries themselves is left behind.
    std::vector<std::string> files;
    for (const auto& item : std::filesystem::directory_iterator(m_outbox.Folder())) {
        files.push_back(item.path().filename().string());
    }
    EXPECT_THAT(files, ::testing::UnorderedElementsAre(UploadOutbox::EntryName(b),
                                                       UploadOutbox::EntryName(elsewhere)));
}

TEST_F(UploadOutboxTest, EntryNamesAreSafeWhateverTheReportIsCalled) {
    for (const std::string& path :
         {std::string("/r/REPORT_VK1_20260102_030405.VOK"), std::string("/r/.hidden.VOK"),
          std::string("/r/a b/ü\\x.VOK"), std::string("/r/") + std::string(300, 'n'),
          std::string("/r/")}) {
        SCOPED_TRACE(path);
        const std::string name = UploadOutbox::EntryName(path);
        EXPECT_NE(name.front(), '.');
        EXPECT_LE(name.size(), 137u);
        EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                         "0123456789._-~"),
                  std::string::npos);
    }
    EXPECT_THAT(UploadOutbox::EntryName("/r/REPORT_VK1_20260102_030405.VOK"),
                StartsWith("REPORT_VK1_20260102_030405.VOK~"));
}

// Nothing is written through a link, nothing hangs on a FIFO, and what was
// not written by the outbox is shown, not sent.
TEST_F(UploadOutboxTest, LinksAndForeignFilesAreNeverFollowedOrSent) {
    const std::string report = Report("REPORT_A_20260102_030405.VOK");
    const std::filesystem::path elsewhere = m_dir.path() / "elsewhere";
    std::filesystem::create_directories(elsewhere);
    std::filesystem::create_directory_symlink(elsewhere, m_outbox.Folder());
    const Status linked = m_outbox.Add(report);
    ASSERT_FALSE(linked.ok());
    EXPECT_THAT(linked.error(), HasSubstr("OUTBOX: not a folder"));
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere));
    EXPECT_FALSE(m_outbox.List().ok());

    std::filesystem::remove(m_outbox.Folder());
    ASSERT_TRUE(m_outbox.Add(report).ok());
    const std::filesystem::path folder = m_outbox.Folder();
    std::filesystem::create_symlink(report, folder / "linked");
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    m_dir.Write("REPORT/OUTBOX/two-lines", "/a\r\n");
    m_dir.Write("REPORT/OUTBOX/empty", "");
    m_dir.Write("REPORT/OUTBOX/huge", std::string(100000, 'x'));
    const std::vector<std::string> waiting = Waiting();
    EXPECT_THAT(waiting, ::testing::UnorderedElementsAre(
                             report, "?a link, not an entry", "?not a regular file",
                             "?does not hold one report path", "?does not hold one report path",
                             "?does not hold one report path"));

    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
    bool empty = true;
    const auto told = SendAll(server.Port(), &empty);
    EXPECT_FALSE(empty);
    EXPECT_EQ(told.size(), 6u);
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(Waiting().size(), 5u);
}

TEST_F(UploadOutboxTest, MissingFoldersAreAnEmptyOutboxButAreNotMadeUpFromNothing) {
    const UploadOutbox nowhere(m_dir.path() / "typo" / "REPORT");
    EXPECT_THAT(nowhere.List().value(), IsEmpty());
    EXPECT_TRUE(nowhere.Remove("/r/x.VOK").ok());
    const Status added = nowhere.Add("/r/x.VOK");
    ASSERT_FALSE(added.ok());
    EXPECT_THAT(added.error(), HasSubstr("No such file or directory"));
    EXPECT_FALSE(std::filesystem::exists(m_dir.path() / "typo"));
    EXPECT_TRUE(nowhere.SendAll(To(1), [](const UploadOutbox::Sent&) {}).value());
    // A missing REPORT folder in an existing data folder is made, as it always is.
    EXPECT_TRUE(m_outbox.Add("/r/x.VOK").ok());
}

// Oldest first, each settled as it goes: a center that could not take a
// report keeps it, a decision or a vanished report takes it out.
TEST_F(UploadOutboxTest, SendAllSettlesEachReportOldestFirst) {
    const std::string a = Report("REPORT_A_20260102_030405.VOK");
    const std::string b = Report("REPORT_B_20260102_030405.VOK");
    const std::string gone = Report("REPORT_GONE_20260102_030405.VOK");
    for (const std::string& path : {b, gone, a}) {
        ASSERT_TRUE(m_outbox.Add(path).ok());
    }
    std::filesystem::remove(gone);

    const std::uint16_t closed = LoopbackHttpServer::ClosedPort();
    bool empty = true;
    EXPECT_THAT(SendAll(closed, &empty),
                ElementsAre(std::pair(Fate::Kept, b), std::pair(Fate::Dropped, gone),
                            std::pair(Fate::Kept, a)));
    EXPECT_FALSE(empty);
    EXPECT_THAT(Waiting(), ElementsAre(b, a));

    LoopbackHttpServer busy(LoopbackHttpServer::Reply(503, "Service Unavailable"));
    EXPECT_THAT(SendAll(busy.Port()),
                ElementsAre(std::pair(Fate::Kept, b), std::pair(Fate::Kept, a)));
    EXPECT_EQ(busy.Requests().size(), 2u);

    LoopbackHttpServer no(LoopbackHttpServer::Reply(200, "ERROR"));
    ASSERT_TRUE(m_outbox.Remove(a).ok());
    EXPECT_THAT(SendAll(no.Port(), &empty), ElementsAre(std::pair(Fate::Refused, b)));
    EXPECT_TRUE(empty);

    ASSERT_TRUE(m_outbox.Add(a).ok());
    LoopbackHttpServer yes(LoopbackHttpServer::Reply(200, "200"));
    EXPECT_THAT(SendAll(yes.Port(), &empty), ElementsAre(std::pair(Fate::Accepted, a)));
    EXPECT_TRUE(empty);
    ASSERT_EQ(yes.Requests().size(), 1u);
    EXPECT_THAT(yes.Requests()[0], HasSubstr("filename=\"" + a + "\""));
}

// A lock held elsewhere (another process's, here another open of the file)
// stops a second sender before it sends anything.
TEST_F(UploadOutboxTest, SecondSenderStopsWhileTheLockIsHeld) {
    const std::string a = Report("REPORT_A_20260102_030405.VOK");
    ASSERT_TRUE(m_outbox.Add(a).ok());
    const int held = ::open((m_outbox.Folder() / ".lock").c_str(),
                            O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
    const Result<bool> second =
        m_outbox.SendAll(To(server.Port()), [](const UploadOutbox::Sent&) {});
    ASSERT_FALSE(second.ok());
    EXPECT_THAT(second.error(), HasSubstr("another 'vok upload --pending'"));
    EXPECT_TRUE(server.Requests().empty());
    ::close(held);
    EXPECT_TRUE(m_outbox.SendAll(To(server.Port()), [](const UploadOutbox::Sent&) {}).value());
    EXPECT_EQ(server.Requests().size(), 1u);
}

}  // namespace
}  // namespace vok
