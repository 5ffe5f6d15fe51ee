#pragma once

#include <chrono>
#include <condition_variable>
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

// The data side of the main dialog: the link, the receive window, both
// record tables with their counters, the console version and the serial,
// the stop request and the acquisition worker. The GUI's StartDiagnosis, Skip
// and close handler, and `vok acquire`, drive one of these.
//
// Threads. Every public call comes from one thread (the GUI thread); the
// worker runs AcquisitionThread and makes every observer call, none of which
// waits. One stop request ends a run, whoever makes it: Skip(), Close() or
// the worker itself at the end marker. Skip() and Close() then close the
// link and join the worker, so they return within about one link wait slice
// (50 ms). The worker has always ended before the tables, window and link it
// uses go, and nothing it stored survives Skip().
//
// StartDiagnosis, step by step:
//     if (!engine.OpenDevice(opener)) -> error page with kMsgCheckCable
//     site = LoadSiteInfo(...)
//     engine.ResetForDiagnosis(); page 2 bars to 0
//     question kMsgStartQuestion: No -> engine.CloseDevice(); Yes -> engine.StartAcquisition(),
//     Skip on, Next off, page 130
class AcquisitionEngine {
public:
    // `startDelay` is the pause between the version request and the request
    // for the records (half a second, which the console needs); tests that
    // talk to no console shorten it.
    static constexpr std::chrono::milliseconds kVersionToStartDelay{500};

    explicit AcquisitionEngine(AcquisitionObserver& observer);
    AcquisitionEngine(AcquisitionObserver& observer, std::chrono::milliseconds startDelay);
    ~AcquisitionEngine();
    AcquisitionEngine(const AcquisitionEngine&) = delete;
    AcquisitionEngine& operator=(const AcquisitionEngine&) = delete;

    // Sets the serial to "NONE", then opens a link. The error is the link's
    // own reason (no device, permission, busy, missing path); the caller
    // shows the cable message first. Fails while an acquisition runs.
    Status OpenDevice(const LinkOpener& open);

    // Both tables empty, version forgotten, both counters 0.
    void ResetForDiagnosis();

    // After the start question's Yes: a fresh stop request, worker started.
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

    // The close handler: stop requested, link closed, worker joined.
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
    bool StopRequested() const { return m_stop.stop_requested(); }

private:
    void AcquisitionThread(std::stop_source stop);
    void DispatchFrame(std::uint8_t command, std::stop_source& stop);
    void OnSystemRequestFrame(const std::stop_token& stop);
    void OnSystemLogFrame(std::stop_source& stop);
    void OnConsoleVersionFrame();
    void OnEchoFrame();
    void JoinWorker();
    void Finish(AcquisitionOutcome outcome, const std::string& reason = {});

    AcquisitionObserver& m_observer;
    std::chrono::milliseconds m_startDelay;
    std::unique_ptr<DeviceLink> m_link;  // replaced only while no worker runs
    ReceiveWindow m_window;              // worker only; never cleared
    // The run's one stop request; a fresh one for each run. The worker holds
    // its own copy, so replacing it never races with the worker.
    std::stop_source m_stop;
    bool m_endMarkerSeen = false;  // worker only while it runs
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
