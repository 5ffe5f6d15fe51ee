#pragma once

#include <atomic>
#include <string>

#include <QObject>

#include "link/AcquisitionObserver.h"

namespace vok {

// Carries the acquisition's events from its worker to the GUI thread as
// queued signals, in the order the worker reported them. Each event is
// stamped with the run it belongs to; one that arrives after its run was
// ended (Skip, close) is dropped, so nothing of an earlier run reaches the
// pages. The worker never waits here.
class GuiAcquisitionObserver : public QObject, public AcquisitionObserver {
    Q_OBJECT

public:
    // Lives on the GUI thread: its signals are emitted there.
    explicit GuiAcquisitionObserver(QObject* parent = nullptr);

    // GUI thread, while no worker runs: events from now on belong to a new
    // run, and those of any earlier run still queued are dropped.
    void BeginRun();
    // GUI thread, once the worker has been joined: every event still queued
    // is dropped.
    void EndRun();

    // Worker side.
    void AddStatusLine(const std::string& line) override;
    void SetSystemProgress(int position) override;
    void SetLogProgress(int position) override;
    void Finished(AcquisitionOutcome outcome, const std::string& reason) override;

signals:
    void StatusLineAdded(const std::string& line);
    void SystemProgressChanged(int position);
    void LogProgressChanged(int position);
    void AcquisitionFinished(vok::AcquisitionOutcome outcome, const std::string& reason);

private:
    // Runs `emitter` on the GUI thread unless its run has ended by then.
    template <typename Emitter>
    void Post(Emitter emitter);

    std::atomic<unsigned> m_run{0};
};

}  // namespace vok
