#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

#include "core/DiagnosisData.h"
#include "core/Result.h"
#include "link/AcquisitionObserver.h"
#include "link/DeviceLink.h"
#include "link/ReceiveWindow.h"

namespace vok {

// How the last acquisition ended.
enum class AcquisitionOutcome {
    NotStarted,
    Running,
    Completed,     // the end marker arrived
    Stopped,       // Skip or close
    EnableFailed,  // the enable packet could not be written
    DeviceLost,    // the device failed mid-acquisition
};

// The data side of the main dialog: the link, the receive window, both
// record tables with their counters, the console version and the serial,
// the stop flag and the acquisition worker. The GUI's StartDiagnosis, Skip
// and close handler, and `vok acquire`, drive one of these.
//
// Threads. Every public call comes from one thread (the GUI thread); the
// worker runs AcquisitionThread and makes every observer call. Skip() and
// Close() set the stop flag and trigger the observer's stop token before
// they wait for the worker, so they return within about one link wait slice
// (50 ms) even while the worker waits on the GUI thread (see
// AcquisitionObserver). The worker has always ended before the tables,
// window and link it uses go, and nothing it stored survives Skip().
//
// StartDiagnosis, step by step:
//     if (!engine.OpenDevice(opener)) -> error page with kMsgCheckCable
//     site = LoadSiteInfo(...)
//     engine.ResetForDiagnosis(); page 2 bars to 0
//     question kMsgStartQuestion: No -> engine.CloseDevice(); Yes -> engine.StartAcquisition(),
//     Skip on, Next off, page 130
class AcquisitionEngine {
public:
    explicit AcquisitionEngine(AcquisitionObserver& observer);
    ~AcquisitionEngine();
    AcquisitionEngine(const AcquisitionEngine&) = delete;
    AcquisitionEngine& operator=(const AcquisitionEngine&) = delete;

    // Sets the serial to "NONE", then opens a link. The error is the link's
    // own reason (no device, permission, busy, missing path); the caller
    // shows the cable message first. Fails while an acquisition runs.
    Status OpenDevice(const LinkOpener& open);

    // Both tables empty, version forgotten, both counters 0.
    void ResetForDiagnosis();

    // After the start question's Yes: stop flag down, worker started.
    void StartAcquisition();

    // Closes the link (after the start question's No, so a second Start
    // finds the device free). Harmless when closed already.
    void CloseDevice();

    // Every record of both tables empty and the version flag down. Safe at
    // any time: table writes and this clear exclude each other.
    void ClearDiagnosisData();

    // The progress page's Skip after its Yes: stops the worker, waits for it,
    // then clears the tables. Returns within about 50 ms.
    void Skip();

    // The close handler: stop flag, link closed, worker joined.
    void Close();

    // Waits until the worker has ended or the time has passed; the outcome
    // then (Running when the time passed first).
    AcquisitionOutcome WaitForEnd(std::chrono::milliseconds timeout);
    AcquisitionOutcome Outcome() const;
    // Why the device was taken for lost, for the message.
    std::string LostReason() const;
    // What the open link is called ("/dev/ttyUSB0", ...); empty without one.
    std::string LinkName() const;

    // A copy of the tables, version and serial, taken under the table lock.
    DiagnosisData Data() const;
    int HtCount() const;
    int CmdCount() const;
    bool StopRequested() const { return m_bStopThread.load(); }

private:
    void AcquisitionThread(const std::stop_token& cancel);
    void DispatchFrame(std::uint8_t command, const std::stop_token& cancel);
    void OnSystemRequestFrame(const std::stop_token& cancel);
    void OnSystemLogFrame(const std::stop_token& cancel);
    void OnConsoleVersionFrame();
    void OnEchoFrame();
    void RequestStop();
    void JoinWorker();
    void Finish(AcquisitionOutcome outcome, std::string reason = {});

    AcquisitionObserver& m_observer;
    std::unique_ptr<DeviceLink> m_link;  // replaced only while no worker runs
    ReceiveWindow m_window;              // worker only; never cleared
    std::atomic<bool> m_bStopThread{false};
    bool m_endMarkerSeen = false;  // worker only while it runs
    std::stop_source m_cancel;
    std::thread m_worker;

    mutable std::mutex m_dataMutex;  // the tables, version, serial, counters
    DiagnosisData m_data;
    int m_nHtCount = 0;
    int m_nCmdCount = 0;

    mutable std::mutex m_stateMutex;  // outcome and the end of the worker
    std::condition_variable m_ended;
    AcquisitionOutcome m_outcome = AcquisitionOutcome::NotStarted;
    std::string m_lostReason;
};

}  // namespace vok
