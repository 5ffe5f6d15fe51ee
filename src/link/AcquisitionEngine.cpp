#include "link/AcquisitionEngine.h"

#include <condition_variable>
#include <utility>

#include "core/DiagnosisData.h"
#include "core/DiagnosisRecord.h"
#include "link/AcquisitionTexts.h"
#include "link/CommandPacket.h"
#include "link/FrameProtocol.h"
#include "link/FrameReceiver.h"

namespace vok {

namespace {

constexpr std::size_t kSerialRecordIndex = 3;

constexpr std::size_t kLastHtIndex = kHtRecordCount - 1;    // 212
constexpr std::size_t kLastCmdIndex = kCmdRecordCount - 1;  // 225; above: end marker

}  // namespace

AcquisitionEngine::AcquisitionEngine(AcquisitionObserver& observer)
    : AcquisitionEngine(observer, kVersionToStartDelay) {}

AcquisitionEngine::AcquisitionEngine(AcquisitionObserver& observer,
                                     std::chrono::milliseconds startDelay)
    : m_observer(observer), m_startDelay(startDelay) {}

AcquisitionEngine::~AcquisitionEngine() {
    Close();
}

Status AcquisitionEngine::OpenDevice(const LinkOpener& open) {
    {
        std::lock_guard lock(m_stateMutex);
        if (m_outcome == AcquisitionOutcome::Running) {
            return Error{"an acquisition is still running"};
        }
    }
    JoinWorker();
    {
        std::lock_guard lock(m_dataMutex);
        m_data.m_strSerial = kNoSerial;
    }
    if (m_link) {
        m_link->Close();
        m_link.reset();
    }
    Result<std::unique_ptr<DeviceLink>> link = open();
    if (!link) {
        return Error{link.error()};
    }
    m_link = std::move(link).value();
    return Done{};
}

void AcquisitionEngine::ResetForDiagnosis() {
    std::lock_guard lock(m_dataMutex);
    m_data.Clear();
    m_nHtCount = 0;
    m_nCmdCount = 0;
}

void AcquisitionEngine::StartAcquisition() {
    if (!m_link || Outcome() == AcquisitionOutcome::Running) {
        return;
    }
    JoinWorker();
    m_stop = std::stop_source{};
    m_endMarkerSeen = false;
    {
        std::lock_guard lock(m_stateMutex);
        m_outcome = AcquisitionOutcome::Running;
        m_lostReason.clear();
    }
    m_worker = std::thread(&AcquisitionEngine::AcquisitionThread, this, m_stop);
}

void AcquisitionEngine::CloseDevice() {
    if (m_link) {
        m_link->Close();
    }
}

void AcquisitionEngine::ClearDiagnosisData() {
    std::lock_guard lock(m_dataMutex);
    m_data.Clear();
}

void AcquisitionEngine::JoinWorker() {
    if (m_worker.joinable() && m_worker.get_id() != std::this_thread::get_id()) {
        m_worker.join();
    }
}

void AcquisitionEngine::Skip() {
    m_stop.request_stop();
    CloseDevice();
    JoinWorker();
    ClearDiagnosisData();
}

void AcquisitionEngine::Close() {
    m_stop.request_stop();
    CloseDevice();
    JoinWorker();
}

AcquisitionOutcome AcquisitionEngine::WaitForEnd(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_stateMutex);
    m_ended.wait_for(lock, timeout, [this] { return m_outcome != AcquisitionOutcome::Running; });
    return m_outcome;
}

AcquisitionOutcome AcquisitionEngine::Outcome() const {
    std::lock_guard lock(m_stateMutex);
    return m_outcome;
}

std::string AcquisitionEngine::LostReason() const {
    std::lock_guard lock(m_stateMutex);
    return m_lostReason;
}

std::string AcquisitionEngine::LinkName() const {
    return m_link ? m_link->Name() : std::string();
}

DiagnosisData AcquisitionEngine::Data() const {
    std::lock_guard lock(m_dataMutex);
    return m_data;
}

int AcquisitionEngine::HtCount() const {
    std::lock_guard lock(m_dataMutex);
    return m_nHtCount;
}

int AcquisitionEngine::CmdCount() const {
    std::lock_guard lock(m_dataMutex);
    return m_nCmdCount;
}

void AcquisitionEngine::Finish(AcquisitionOutcome outcome, const std::string& reason) {
    // The event goes out before the outcome is set: whoever waits for the end
    // has every event of the run by then.
    m_observer.Finished(outcome, reason);
    {
        std::lock_guard lock(m_stateMutex);
        if (m_outcome == AcquisitionOutcome::Running) {
            m_outcome = outcome;
            m_lostReason = reason;
        }
    }
    m_ended.notify_all();
}

void AcquisitionEngine::AcquisitionThread(std::stop_source stop) {
    const std::stop_token token = stop.get_token();
    DeviceLink& link = *m_link;
    if (!link.WritePacket(MakeCommandPacket(kCmdEnable))) {
        // The device is released too, so that a second Start finds it free.
        // A write that failed because Skip or close came first is that stop.
        link.Close();
        Finish(token.stop_requested() ? AcquisitionOutcome::Stopped
                                      : AcquisitionOutcome::EnableFailed);
        return;
    }
    (void)link.WritePacket(MakeCommandPacket(kCmdConsoleVersion));
    {
        // The console's pause before the records are asked for; Skip and
        // close cut it short.
        std::mutex mutex;
        std::condition_variable_any never;
        std::unique_lock lock(mutex);
        never.wait_for(lock, token, m_startDelay, [] { return false; });
    }
    (void)link.WritePacket(MakeCommandPacket(kCmdSystemRequest));

    FrameReceiver receiver(link, m_window, token);
    while (!token.stop_requested()) {
        FrameReceiver::Step step = receiver.Next();
        if (step.event == FrameReceiver::Event::Frame) {
            DispatchFrame(step.command, stop);
        } else if (step.event == FrameReceiver::Event::Lost) {
            link.Close();
            Finish(AcquisitionOutcome::DeviceLost, step.reason);
            return;
        }
    }
    link.Close();
    Finish(m_endMarkerSeen ? AcquisitionOutcome::Completed : AcquisitionOutcome::Stopped);
}

void AcquisitionEngine::DispatchFrame(std::uint8_t command, std::stop_source& stop) {
    switch (command) {
        case kCmdEcho:
            OnEchoFrame();
            break;
        case kCmdSystemRequest:
            OnSystemRequestFrame(stop.get_token());
            break;
        case kCmdSystemLog:
            OnSystemLogFrame(stop);
            break;
        case kCmdConsoleVersion:
            OnConsoleVersionFrame();
            break;
        default:
            break;  // consumed and dropped
    }
}

void AcquisitionEngine::OnSystemRequestFrame(const std::stop_token& stop) {
    const std::uint8_t index = m_window.RecordIndex();
    if (index > kLastHtIndex) {
        return;  // no table entry: dropped and not counted
    }
    int count = HtCount();
    if (count == 0) {
        m_observer.AddStatusLine(std::string(kStatusChecking));
    }
    if (count == 1) {
        m_observer.AddStatusLine(std::string(kStatusSystemRequest));
    }
    {
        std::lock_guard lock(m_dataMutex);
        if (stop.stop_requested()) {
            return;  // Skip or close came first: nothing more is stored
        }
        DiagnosisRecord& record = m_data.m_HtInfo[index];
        record.valid = 1;
        record.index = index;
        for (std::size_t n = 0; n < kParamCount; ++n) {
            record.params[n] = m_window.RecordParam(n);
        }
        if (index == kSerialRecordIndex) {
            // Ten characters, cut at a zero byte as text would be.
            std::string serial;
            for (std::size_t n = 0; n < kParamCount && record.params[n] != 0; ++n) {
                serial.push_back(static_cast<char>(record.params[n]));
            }
            m_data.m_strSerial = serial;
        }
        count = ++m_nHtCount;
    }
    m_observer.SetSystemProgress(count);
}

void AcquisitionEngine::OnSystemLogFrame(std::stop_source& stop) {
    const std::uint8_t index = m_window.RecordIndex();
    int count = CmdCount();
    if (count == 0) {
        m_observer.AddStatusLine(std::string(kStatusSystemLog));
    }
    if (index > kLastCmdIndex) {
        // The log is complete. What follows on the pages (Skip off, Next on,
        // the question) is the receiver's, once Finished arrives.
        stop.request_stop();
        m_endMarkerSeen = true;
        m_link->Close();
        m_observer.AddStatusLine(std::string(kStatusEnd));
        return;
    }
    {
        std::lock_guard lock(m_dataMutex);
        if (stop.stop_requested()) {
            return;
        }
        DiagnosisRecord& record = m_data.m_CmdInfo[index];
        record.valid = 1;
        record.index = index;
        for (std::size_t n = 0; n < kParamCount; ++n) {
            record.params[n] = m_window.RecordParam(n);
        }
        count = ++m_nCmdCount;
    }
    m_observer.SetLogProgress(count);
}

void AcquisitionEngine::OnConsoleVersionFrame() {
    std::lock_guard lock(m_dataMutex);
    m_data.m_bConsoleVersion = 1;
    for (std::size_t n = 0; n < kConsoleVersionFrameBytes; ++n) {
        m_data.m_ConsoleVersion[n] = m_window.VersionByte(n);
    }
}

void AcquisitionEngine::OnEchoFrame() {
    (void)m_link->WritePacket(MakeCommandPacket(kCmdEcho));
}

}  // namespace vok
