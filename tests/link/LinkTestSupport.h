#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "link/AcquisitionObserver.h"
#include "link/DeviceLink.h"
#include "link/SimulatedConsole.h"

namespace vok::test {

using Bytes = std::vector<std::uint8_t>;

// A link that hands out exactly the bytes a test feeds it, at once.
class ScriptedLink : public DeviceLink {
public:
    // Hang: writes wait for the close, then fail, like a device taking no more.
    enum class Writes { Take, Refuse, Hang };

    explicit ScriptedLink(Bytes bytes = {}, Writes writes = Writes::Take)
        : m_queue(bytes.begin(), bytes.end()), m_writes(writes) {}

    // Called whenever the queue runs dry: a console that never ends.
    std::function<Bytes()> refill;
    // Once the queued bytes are gone, the device is gone.
    bool loseWhenDrained = false;

    Status Open() override {
        std::lock_guard lock(m_mutex);
        m_open = true;
        return Done{};
    }
    Result<std::size_t> ReceiveCount() override {
        std::lock_guard lock(m_mutex);
        if (m_queue.empty() && refill) {
            const Bytes more = refill();
            m_queue.insert(m_queue.end(), more.begin(), more.end());
        }
        return Gone() ? Result<std::size_t>(Error{"cable pulled"}) : m_queue.size();
    }
    Result<std::uint8_t> ReadByte() override {
        std::lock_guard lock(m_mutex);
        if (!m_open || m_queue.empty()) {
            return Error{"no byte"};
        }
        const std::uint8_t byte = m_queue.front();
        m_queue.pop_front();
        return byte;
    }
    Status WritePacket(const CommandPacket& packet) override {
        std::unique_lock lock(m_mutex);
        ++m_writesTried;
        if (m_writes == Writes::Hang) {
            m_changed.wait(lock, [this] { return !m_open; });
        }
        if (!m_open || m_writes == Writes::Refuse) {
            return Error{"write refused"};
        }
        m_written.push_back(packet);
        return Done{};
    }
    void Close() override {
        std::lock_guard lock(m_mutex);
        m_open = false;
        m_changed.notify_all();
    }
    Result<bool> WaitReadable(std::chrono::milliseconds timeout) override {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, timeout, [this] { return !m_open || !m_queue.empty(); });
        return Gone() ? Result<bool>(Error{"cable pulled"}) : !m_queue.empty();
    }
    std::string Name() const override { return "scripted link"; }

    int WritesTried() const {
        std::lock_guard lock(m_mutex);
        return m_writesTried;
    }
    std::vector<CommandPacket> Written() const {
        std::lock_guard lock(m_mutex);
        return m_written;
    }
    bool IsOpen() const {
        std::lock_guard lock(m_mutex);
        return m_open;
    }

private:
    bool Gone() const { return !m_open || (m_queue.empty() && loseWhenDrained); }

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::uint8_t> m_queue;
    std::vector<CommandPacket> m_written;
    bool m_open = false;
    Writes m_writes;
    int m_writesTried = 0;
};

// The acquisition's events as lines of text, in the order the worker sent them.
class RecordingObserver : public AcquisitionObserver {
public:
    void AddStatusLine(const std::string& line) override { Add("status " + line); }
    void SetSystemProgress(int n) override { Add("system " + std::to_string(n)); }
    void SetLogProgress(int n) override { Add("log " + std::to_string(n)); }
    void Finished(AcquisitionOutcome outcome, const std::string&) override {
        static constexpr const char* kNames[] = {"not started", "running",       "completed",
                                                 "stopped",     "enable failed", "device lost"};
        Add(std::string("finished ") + kNames[static_cast<int>(outcome)]);
    }

    // The events that start with `kind`, without it; all of them for "".
    std::vector<std::string> Events(std::string_view kind = "") const {
        std::lock_guard lock(m_mutex);
        std::vector<std::string> found;
        for (const std::string& e : m_events) {
            if (e.starts_with(kind)) {
                found.push_back(e.substr(kind.size()));
            }
        }
        return found;
    }

private:
    void Add(std::string event) {
        std::lock_guard lock(m_mutex);
        m_events.push_back(std::move(event));
    }

    mutable std::mutex m_mutex;
    std::vector<std::string> m_events;
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

// Polls a condition for up to about ten seconds; true once it holds.
inline bool Eventually(const std::function<bool()>& condition) {
    for (int n = 0; n < 5000 && !condition(); ++n) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return condition();
}

}  // namespace vok::test
