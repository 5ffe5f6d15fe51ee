#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "link/AcquisitionObserver.h"
#include "link/CallCompletion.h"
#include "link/DeviceLink.h"
#include "link/SimulatedConsole.h"

namespace vok::test {

using Bytes = std::vector<std::uint8_t>;

// A link that hands out exactly the bytes a test feeds it, at once; it can
// refuse writes, fail like a pulled cable, or refill itself endlessly.
class ScriptedLink : public DeviceLink {
public:
    explicit ScriptedLink(Bytes bytes = {}) : m_queue(bytes.begin(), bytes.end()) {}

    // Called whenever the queue runs dry, to refill it (a console that never ends).
    void RefillWith(std::function<Bytes()> refill) {
        std::lock_guard lock(m_mutex);
        m_refill = std::move(refill);
    }
    void FailWrites() {
        std::lock_guard lock(m_mutex);
        m_failWrites = true;
    }
    // Once the queued bytes are gone, the device is gone.
    void LoseDeviceWhenDrained() {
        {
            std::lock_guard lock(m_mutex);
            m_loseWhenDrained = true;
        }
        m_changed.notify_all();
    }

    Status Open() override {
        std::lock_guard lock(m_mutex);
        m_open = true;
        return Done{};
    }
    Result<std::size_t> ReceiveCount() override {
        std::lock_guard lock(m_mutex);
        if (!m_open) {
            return Error{"closed"};
        }
        RefillLocked();
        if (m_queue.empty() && m_loseWhenDrained) {
            return Error{"cable pulled"};
        }
        return m_queue.size();
    }
    Result<std::uint8_t> ReadByte() override {
        std::lock_guard lock(m_mutex);
        RefillLocked();
        if (!m_open || m_queue.empty()) {
            return Error{"no byte"};
        }
        const std::uint8_t byte = m_queue.front();
        m_queue.pop_front();
        return byte;
    }
    Status WritePacket(const CommandPacket& packet) override {
        std::lock_guard lock(m_mutex);
        if (!m_open || m_failWrites) {
            return Error{"write refused"};
        }
        m_written.push_back(packet);
        return Done{};
    }
    void Close() override {
        {
            std::lock_guard lock(m_mutex);
            m_open = false;
        }
        m_changed.notify_all();
    }
    Result<bool> WaitReadable(std::chrono::milliseconds timeout) override {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, timeout, [this] { return !m_open || !m_queue.empty(); });
        if (!m_open) {
            return Error{"closed"};
        }
        if (m_queue.empty() && m_loseWhenDrained) {
            return Error{"cable pulled"};
        }
        return !m_queue.empty();
    }
    std::string Name() const override { return "scripted link"; }

    std::vector<CommandPacket> Written() const {
        std::lock_guard lock(m_mutex);
        return m_written;
    }
    bool IsOpen() const {
        std::lock_guard lock(m_mutex);
        return m_open;
    }
    std::size_t Remaining() const {
        std::lock_guard lock(m_mutex);
        return m_queue.size();
    }

private:
    void RefillLocked() {
        if (m_queue.empty() && m_refill) {
            const Bytes more = m_refill();
            m_queue.insert(m_queue.end(), more.begin(), more.end());
        }
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::uint8_t> m_queue;
    std::function<Bytes()> m_refill;
    std::vector<CommandPacket> m_written;
    bool m_open = false;
    bool m_failWrites = false;
    bool m_loseWhenDrained = false;
};

// Every page effect as one line of text, in the order the worker made it.
class RecordingObserver : public AcquisitionObserver {
public:
    explicit RecordingObserver(bool answerYes = true) : m_answerYes(answerYes) {}

    void AddStatusLine(const std::string& line, std::stop_token) override { Add("status " + line); }
    void SetSystemProgress(int position, std::stop_token) override {
        std::lock_guard lock(m_mutex);
        m_system.push_back(position);
    }
    void SetLogProgress(int position, std::stop_token) override {
        std::lock_guard lock(m_mutex);
        m_log.push_back(position);
    }
    void SetButtons(bool skip, bool next, std::stop_token) override {
        Add(std::string("skip ") + (skip ? "on" : "off") + ", next " + (next ? "on" : "off"));
    }
    bool AskGoNext(const std::string& question, std::stop_token) override {
        Add("ask " + question);
        return m_answerYes;
    }
    void GoToUserPage(std::stop_token) override { Add("user page"); }
    void ShowMessage(const std::string& text, std::stop_token) override { Add("message " + text); }
    void DeviceLost(const std::string& reason, std::stop_token) override { Add("lost " + reason); }

    std::vector<std::string> Events() const {
        std::lock_guard lock(m_mutex);
        return m_events;
    }
    std::vector<std::string> StatusLines() const {
        std::vector<std::string> lines;
        for (const std::string& e : Events()) {
            if (e.starts_with("status ")) {
                lines.push_back(e.substr(7));
            }
        }
        return lines;
    }
    std::vector<int> SystemProgress() const {
        std::lock_guard lock(m_mutex);
        return m_system;
    }
    std::vector<int> LogProgress() const {
        std::lock_guard lock(m_mutex);
        return m_log;
    }

private:
    void Add(std::string event) {
        std::lock_guard lock(m_mutex);
        m_events.push_back(std::move(event));
    }

    bool m_answerYes;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_events;
    std::vector<int> m_system;
    std::vector<int> m_log;
};

// A GUI thread that never gets round to the worker's calls: every call waits
// like a carried call would, and only the engine's cancel releases it.
// With onlyTheQuestion, only the end question hangs.
class StuckObserver : public AcquisitionObserver {
public:
    explicit StuckObserver(bool onlyTheQuestion = false) : m_onlyTheQuestion(onlyTheQuestion) {}

    void AddStatusLine(const std::string&, std::stop_token cancel) override { Call(cancel); }
    void SetSystemProgress(int, std::stop_token cancel) override { Call(cancel); }
    void SetLogProgress(int, std::stop_token cancel) override { Call(cancel); }
    void SetButtons(bool, bool, std::stop_token cancel) override { Call(cancel); }
    bool AskGoNext(const std::string&, std::stop_token cancel) override { return Stuck(cancel); }
    void GoToUserPage(std::stop_token cancel) override { Call(cancel); }
    void ShowMessage(const std::string&, std::stop_token cancel) override { Call(cancel); }
    void DeviceLost(const std::string&, std::stop_token cancel) override { Call(cancel); }

    bool Entered() const { return m_entered.load(); }

private:
    void Call(std::stop_token cancel) {
        if (!m_onlyTheQuestion) {
            Stuck(std::move(cancel));
        }
    }
    bool Stuck(std::stop_token cancel) {
        m_entered = true;
        CallCompletion never;
        return never.Wait(std::move(cancel));
    }
    bool m_onlyTheQuestion;
    std::atomic<bool> m_entered{false};
};

inline Bytes Record(std::uint8_t command, std::uint8_t index, std::uint8_t fill) {
    GeneratorImage::Params params;
    params.fill(fill);
    return SimulatedConsole::RecordFrame(command, index, params);
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// Polls a condition for up to `limit`; true once it holds.
inline bool Eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return condition();
}

}  // namespace vok::test
