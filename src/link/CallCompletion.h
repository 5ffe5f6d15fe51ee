#pragma once

#include <condition_variable>
#include <mutex>
#include <stop_token>

namespace vok {

// The worker's side of one observer call carried to another thread: the
// other thread says Done() when it has carried the call out; the worker
// waits for that or for the engine's cancel, whichever comes first. Share it
// (std::shared_ptr) between the two threads, since after a cancel the other
// thread may still run the call.
class CallCompletion {
public:
    void Done() {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_changed.notify_all();
    }

    // True when the call was carried out, false when cancelled first.
    bool Wait(std::stop_token cancel) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait(lock, cancel, [this] { return m_done; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable_any m_changed;
    bool m_done = false;
};

}  // namespace vok
