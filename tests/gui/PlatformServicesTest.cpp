#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <QThread>

#include "QtTestApp.h"
#include "app/DiagnosisOptions.h"
#include "platform/GuiInvoker.h"
#include "platform/QtDesktopShell.h"

namespace vok {
namespace {

using namespace std::chrono_literals;

class PlatformServicesTest : public ::testing::Test {
protected:
    void SetUp() override { test::QtApp(); }
};

using test::PumpUntil;

TEST_F(PlatformServicesTest, InvokerRunsOnTheGuiThreadInOrderAndWaitsForEachCall) {
    GuiInvoker invoker;
    // No event loop runs here: a queued call would never return.
    EXPECT_EQ(invoker.Call([] { return 6; }), std::optional<int>(6));

    std::vector<int> order;
    std::atomic<bool> wrongThread{false};
    std::atomic<bool> notWaited{false};
    QThread* gui = QThread::currentThread();
    std::thread worker([&] {
        for (int i = 0; i < 200; ++i) {
            invoker.Invoke([&, i] {
                wrongThread = wrongThread || QThread::currentThread() != gui;
                order.push_back(i);
            });
            // The call has run by now: the worker waited for it.
            notWaited = notWaited || order.size() != i + 1u || order.back() != i;
        }
    });
    ASSERT_TRUE(PumpUntil([&] { return order.size() == 200u; }));
    worker.join();
    EXPECT_FALSE(wrongThread);
    EXPECT_FALSE(notWaited);
}

// The GUI thread is busy (it runs no events), as when it joins the worker.
TEST_F(PlatformServicesTest, AStopOrCancelReleasesAWaitingWorkerAndDropsItsCall) {
    GuiInvoker invoker;
    std::atomic<bool> ran{false};
    const auto releasedWithoutRunning = [&](std::stop_token stop, auto release) {
        std::future<bool> call = std::async(std::launch::async, [&invoker, &ran, stop] {
            return invoker.Invoke([&ran] { ran = true; }, stop);
        });
        std::this_thread::sleep_for(50ms);
        EXPECT_EQ(call.wait_for(0ms), std::future_status::timeout);
        release();
        ASSERT_EQ(call.wait_for(1s), std::future_status::ready);
        EXPECT_FALSE(call.get());
        QCoreApplication::processEvents();
        EXPECT_FALSE(ran);
    };
    std::stop_source stop;
    releasedWithoutRunning(stop.get_token(), [&] { stop.request_stop(); });
    EXPECT_FALSE(invoker.IsCancelled());
    releasedWithoutRunning({}, [&] { invoker.Cancel(); });
    // Cancelled: further calls return at once without running.
    EXPECT_FALSE(
        std::async(std::launch::async, [&] { return invoker.Invoke([&] { ran = true; }); }).get());
    // Rearmed: calls run again, but never the dropped ones.
    invoker.Rearm();
    std::future<bool> again = std::async(std::launch::async, [&] { return invoker.Invoke([] {}); });
    ASSERT_TRUE(PumpUntil([&] { return again.wait_for(0ms) == std::future_status::ready; }));
    EXPECT_TRUE(again.get());
    EXPECT_FALSE(ran);
}

TEST_F(PlatformServicesTest, FileDialogFilterBecomesQtNameFilters) {
    EXPECT_EQ(QtDesktopShell::NameFilters("VOK Diagnosis File(*.VOK)|*.VOK|"),
              QStringList{"VOK Diagnosis File(*.VOK)"});
}

// The link options are the vok tool's; the wizard's own are checked here.
TEST_F(PlatformServicesTest, CommandLineTakesTheWizardsOptionsAndLeavesQtsToQt) {
    const Result<DiagnosisOptions> options =
        DiagnosisOptions::Parse({"--simulate=stall", "--data-dir", "/tmp/vok"});
    ASSERT_TRUE(options.ok()) << options.error();
    EXPECT_EQ(options->link.scenario, ConsoleScenario::Stall);
    EXPECT_EQ(options->dataDir, "/tmp/vok");
    EXPECT_FALSE(DiagnosisOptions::Parse({"stray"}).ok());
    // A wrong server is refused at start, not at Send.
    const Result<DiagnosisOptions> url = DiagnosisOptions::Parse({"--server", "http://x/y"});
    ASSERT_FALSE(url.ok());
    EXPECT_EQ(url.error().rfind("option --server http://x/y: ", 0), 0u);
    const Result<DiagnosisOptions> ca =
        DiagnosisOptions::Parse({"--server", "https://x", "--ca-file", "/nonexistent.pem"});
    ASSERT_FALSE(ca.ok());
    EXPECT_EQ(ca.error().rfind("option --ca-file /nonexistent.pem: ", 0), 0u);

    std::vector<std::string> argv = {"vok-diagnosis", "-platform",  "offscreen", "--simulate",
                                     "-reverse",      "--data-dir", "/tmp/x"};
    std::vector<char*> raw;
    for (std::string& arg : argv) {
        raw.push_back(arg.data());
    }
    EXPECT_EQ(DiagnosisOptions::OwnArguments(static_cast<int>(raw.size()), raw.data()),
              (std::vector<std::string>{"--simulate", "--data-dir", "/tmp/x"}));
}

}  // namespace
}  // namespace vok
