#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <type_traits>
#include <utility>

#include <QObject>

namespace vok {

// Carries calls from a worker thread to the GUI thread, one at a time and in
// order: the worker waits until its call has run. On the GUI thread itself a
// call runs directly, so the GUI can use the same code without deadlocking on
// itself.
//
// Cancel() is for shutting the worker down while the GUI thread waits for it:
// it wakes every waiting worker, drops calls not yet run, and makes further
// calls return at once without running, until Rearm(). The callable is kept
// alive by the invoker until it has run or been dropped, so it must own what it
// uses (capture by value), never the worker's stack.
class GuiInvoker : public QObject {
    Q_OBJECT

public:
    // Must be made on the GUI thread: calls are run on the thread it lives in.
    explicit GuiInvoker(QObject* parent = nullptr);
    ~GuiInvoker() override;

    // Runs fn on the GUI thread; false when it was cancelled (by Cancel() or
    // by the stop token) before fn had run to its end.
    bool Invoke(std::function<void()> fn, const std::stop_token& stop = {});

    // Runs fn on the GUI thread and hands back its result; nothing when
    // cancelled.
    template <typename F, typename R = std::invoke_result_t<F&>>
    std::optional<R> Call(F fn, const std::stop_token& stop = {}) {
        auto result = std::make_shared<std::optional<R>>();
        const bool ran = Invoke([fn = std::move(fn), result]() mutable { *result = fn(); }, stop);
        if (!ran) {
            return std::nullopt;
        }
        return std::move(*result);
    }

    void Cancel();
    void Rearm();
    bool IsCancelled() const;

    bool OnGuiThread() const;

private:
    struct PendingCall {
        std::function<void()> fn;
        std::uint64_t generation = 0;
        bool done = false;
        bool abandoned = false;
    };

    void Run(const std::shared_ptr<PendingCall>& call);

    mutable std::mutex m_mutex;
    std::condition_variable_any m_cv;
    bool m_cancelled = false;
    std::uint64_t m_generation = 0;
};

}  // namespace vok
