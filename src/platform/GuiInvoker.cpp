#include "platform/GuiInvoker.h"

#include <QThread>

namespace vok {

GuiInvoker::GuiInvoker(QObject* parent) : QObject(parent) {}

GuiInvoker::~GuiInvoker() {
    // Queued calls die with this object; no worker may be left waiting on them.
    Cancel();
}

bool GuiInvoker::OnGuiThread() const {
    return QThread::currentThread() == thread();
}

bool GuiInvoker::Invoke(std::function<void()> fn, const std::stop_token& stop) {
    if (OnGuiThread()) {
        fn();
        return true;
    }
    auto call = std::make_shared<PendingCall>();
    call->fn = std::move(fn);
    {
        std::lock_guard lock(m_mutex);
        if (m_cancelled || stop.stop_requested()) {
            return false;
        }
        call->generation = m_generation;
    }
    QMetaObject::invokeMethod(
        this, [this, call] { Run(call); }, Qt::QueuedConnection);

    std::unique_lock lock(m_mutex);
    m_cv.wait(lock, stop, [&] { return call->done || m_cancelled; });
    if (!call->done) {
        call->abandoned = true;  // its worker has gone on; never run it now
    }
    return call->done;
}

void GuiInvoker::Run(const std::shared_ptr<PendingCall>& call) {
    {
        std::lock_guard lock(m_mutex);
        if (m_cancelled || call->abandoned || call->generation != m_generation) {
            return;  // its worker has been released already
        }
    }
    call->fn();
    {
        std::lock_guard lock(m_mutex);
        call->done = true;
    }
    m_cv.notify_all();
}

void GuiInvoker::Cancel() {
    {
        std::lock_guard lock(m_mutex);
        m_cancelled = true;
        ++m_generation;
    }
    m_cv.notify_all();
}

void GuiInvoker::Rearm() {
    std::lock_guard lock(m_mutex);
    m_cancelled = false;
}

bool GuiInvoker::IsCancelled() const {
    std::lock_guard lock(m_mutex);
    return m_cancelled;
}

}  // namespace vok
