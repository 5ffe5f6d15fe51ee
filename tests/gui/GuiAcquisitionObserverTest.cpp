#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <QThread>

#include "QtTestApp.h"
#include "app/GuiAcquisitionObserver.h"

namespace vok {
namespace {

using namespace std::chrono_literals;
using test::PumpUntil;

// What reached the GUI thread, one line per event, and whether each came on it.
class GuiAcquisitionObserverTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        QObject::connect(&observer, &GuiAcquisitionObserver::StatusLineAdded,
                         [this](const std::string& line) { Got("status " + line); });
        QObject::connect(&observer, &GuiAcquisitionObserver::SystemProgressChanged,
                         [this](int n) { Got("system " + std::to_string(n)); });
        QObject::connect(&observer, &GuiAcquisitionObserver::LogProgressChanged,
                         [this](int n) { Got("log " + std::to_string(n)); });
        QObject::connect(
            &observer, &GuiAcquisitionObserver::AcquisitionFinished,
            [this](AcquisitionOutcome outcome, const std::string& reason) {
                Got("finished " + std::to_string(static_cast<int>(outcome)) + " " + reason);
            });
    }

    void Got(std::string event) {
        offGuiThread =
            offGuiThread || QThread::currentThread() != QCoreApplication::instance()->thread();
        received.push_back(std::move(event));
    }

    // A worker's whole run, made while the GUI thread runs no events.
    void RunWorker(int records) {
        std::thread worker([&] {
            observer.AddStatusLine("1.Checking");
            for (int n = 1; n <= records; ++n) {
                observer.SetSystemProgress(n);
                observer.SetLogProgress(n);
            }
            observer.Finished(AcquisitionOutcome::DeviceLost, "cable pulled");
        });
        worker.join();  // returns although nothing has been delivered yet
    }

    GuiAcquisitionObserver observer;
    std::vector<std::string> received;
    bool offGuiThread = false;
};

TEST_F(GuiAcquisitionObserverTest, EventsArriveOnTheGuiThreadInTheWorkersOrder) {
    observer.BeginRun();
    RunWorker(300);
    EXPECT_TRUE(received.empty()) << "nothing runs on the worker";
    ASSERT_TRUE(PumpUntil([&] { return received.size() == 602u; }));
    EXPECT_FALSE(offGuiThread);
    EXPECT_EQ(received.front(), "status 1.Checking");
    for (int n = 1; n <= 300; ++n) {
        ASSERT_EQ(received[2 * n - 1], "system " + std::to_string(n));
        ASSERT_EQ(received[2 * n], "log " + std::to_string(n));
    }
    EXPECT_EQ(received.back(),
              "finished " + std::to_string(static_cast<int>(AcquisitionOutcome::DeviceLost)) +
                  " cable pulled");
}

// Skip or close ends the run while its events are still queued; a new run's
// events still come through.
TEST_F(GuiAcquisitionObserverTest, EventsOfAnEndedOrEarlierRunAreDropped) {
    observer.BeginRun();
    RunWorker(5);
    observer.EndRun();
    QCoreApplication::processEvents();
    EXPECT_TRUE(received.empty());

    observer.BeginRun();
    RunWorker(5);
    observer.BeginRun();  // the next run starts before the GUI saw the last one
    std::thread worker([&] { observer.AddStatusLine("new run"); });
    worker.join();
    ASSERT_TRUE(PumpUntil([&] { return !received.empty(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(received, std::vector<std::string>{"status new run"});
}

}  // namespace
}  // namespace vok
