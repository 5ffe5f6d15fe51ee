#pragma once

#include <string>

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

// What an acquisition reports while it runs: its status lines, the two
// progress counts and, last of all, how it ended. The GUI turns these into
// page effects on its own thread; `vok acquire` prints them.
//
// Every call comes from the acquisition worker and must return at once: the
// worker never waits for anyone. An implementation that hands the event to
// another thread posts it (a queued signal, a queue) and copies what it
// needs. The worker may be joined by the thread the events go to, so a call
// that waited for that thread could deadlock.
//
// Order: the calls of one run come in the order the worker made them, and
// Finished is the last call of each run.
class AcquisitionObserver {
public:
    virtual ~AcquisitionObserver() = default;

    // One more line of the status text ("1.Checking ... VOK USB Connection." ...).
    virtual void AddStatusLine(const std::string& line) = 0;
    // The number of system records and of log records received so far.
    virtual void SetSystemProgress(int position) = 0;
    virtual void SetLogProgress(int position) = 0;
    // The worker has ended; `reason` says why the device was taken for lost
    // (DeviceLost only).
    virtual void Finished(AcquisitionOutcome outcome, const std::string& reason) = 0;
};

}  // namespace vok
