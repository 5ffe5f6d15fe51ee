#include "app/GuiAcquisitionObserver.h"

namespace vok {

GuiAcquisitionObserver::GuiAcquisitionObserver(QObject* parent) : QObject(parent) {}

void GuiAcquisitionObserver::BeginRun() {
    ++m_run;
}

void GuiAcquisitionObserver::EndRun() {
    ++m_run;
}

template <typename Emitter>
void GuiAcquisitionObserver::Post(Emitter emitter) {
    // Queued to this object: events die with it, and run in the order posted.
    QMetaObject::invokeMethod(
        this,
        [this, run = m_run.load(), emitter = std::move(emitter)] {
            if (run == m_run.load()) {
                emitter();
            }
        },
        Qt::QueuedConnection);
}

void GuiAcquisitionObserver::AddStatusLine(const std::string& line) {
    Post([this, line] { emit StatusLineAdded(line); });
}

void GuiAcquisitionObserver::SetSystemProgress(int position) {
    Post([this, position] { emit SystemProgressChanged(position); });
}

void GuiAcquisitionObserver::SetLogProgress(int position) {
    Post([this, position] { emit LogProgressChanged(position); });
}

void GuiAcquisitionObserver::Finished(AcquisitionOutcome outcome, const std::string& reason) {
    Post([this, outcome, reason] { emit AcquisitionFinished(outcome, reason); });
}

}  // namespace vok
