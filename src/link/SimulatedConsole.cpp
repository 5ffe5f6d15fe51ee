#include "link/SimulatedConsole.h"

#include <algorithm>
#include <utility>

#include "core/DiagnosisRecord.h"
#include "link/CommandPacket.h"
#include "link/FrameProtocol.h"

namespace vok {

namespace {

constexpr std::size_t kConsoleEchoEvery = 60;  // frames between echo frames

// Records the partial scenario leaves out: a stretch of calibration history,
// two focus rows, a few error-log records and one protocol block.
bool PartialSkipsHt(std::size_t index) {
    return (index >= 20 && index <= 24) || (index >= 50 && index <= 53) ||
           (index >= 150 && index <= 155);
}
bool PartialSkipsCmd(std::size_t index) {
    return index >= 26 && index <= 50;
}

// The stall scenario stops after this many system records, in the middle
// of the next frame.
constexpr std::size_t kStallAfterHtRecords = 100;
constexpr std::size_t kStallFrameBytes = 9;

constexpr std::uint8_t kEndMarkerIndex = 0xFF;
// Header, third byte and length byte: the bytes the length does not count.
constexpr std::size_t kFrameHeadBytes = 4;
constexpr std::uint8_t kNoiseCommand = 0x40;  // a command the tool drops
constexpr std::size_t kNoiseEvery = 7;        // frames between bursts of noise

// A frame of length byte `length`, its head written: both header bytes, the
// console's third byte, the length and the command.
std::vector<std::uint8_t> FrameWithHead(std::uint8_t length, std::uint8_t command) {
    std::vector<std::uint8_t> frame(kFrameHeadBytes + length);
    frame[0] = kFrameHeader1;
    frame[1] = kFrameHeader2;
    frame[2] = kConsoleThirdByte;
    frame[3] = length;
    frame[4] = command;
    return frame;
}

}  // namespace

SimulatedConsole::SimulatedConsole(ConsoleScenario scenario)
    : m_scenario(scenario), m_image(GeneratorImage::Build()) {}

bool SimulatedConsole::SendsHtRecord(ConsoleScenario scenario, std::size_t index) {
    switch (scenario) {
        case ConsoleScenario::Partial:
            return !PartialSkipsHt(index);
        case ConsoleScenario::Stall:
            return index < kStallAfterHtRecords;
        case ConsoleScenario::Silent:
            return false;
        default:
            return true;
    }
}

bool SimulatedConsole::SendsCmdRecord(ConsoleScenario scenario, std::size_t index) {
    switch (scenario) {
        case ConsoleScenario::Partial:
            return !PartialSkipsCmd(index);
        case ConsoleScenario::Stall:
        case ConsoleScenario::Silent:
            return false;
        default:
            return true;
    }
}

// Frames are built at their final size and filled in place: inserting into a
// vector of the header's size makes g++ 12 at -O3 warn (-Warray-bounds) about
// the reallocation path it cannot rule out.
std::vector<std::uint8_t> SimulatedConsole::RecordFrame(std::uint8_t command, std::uint8_t index,
                                                        const GeneratorImage::Params& params) {
    std::vector<std::uint8_t> frame = FrameWithHead(kRecordFrameLength, command);
    frame[5] = index;
    std::copy(params.begin(), params.end(), frame.begin() + 6);
    std::uint8_t check = 0;
    std::for_each(frame.begin() + 2, frame.end() - 1, [&](std::uint8_t b) { check ^= b; });
    frame.back() = check;
    return frame;
}

std::vector<std::uint8_t> SimulatedConsole::VersionFrame(const GeneratorImage& image) {
    std::vector<std::uint8_t> frame = FrameWithHead(kVersionFrameLength, kCmdConsoleVersion);
    std::copy(image.version.begin(), image.version.end(), frame.begin() + 5);
    return frame;
}

std::vector<std::uint8_t> SimulatedConsole::EchoFrame() {
    const std::uint8_t check = kConsoleThirdByte ^ kCommandLengthByte ^ kCmdEcho;
    return {kFrameHeader1, kFrameHeader2, kConsoleThirdByte, kCommandLengthByte, kCmdEcho, check};
}

void SimulatedConsole::Receive(std::uint8_t byte) {
    m_input.push_back(byte);
    if (m_input.size() > kCommandPacketSize) {
        m_input.erase(m_input.begin());
    }
    if (m_input.size() < kCommandPacketSize || m_input[0] != kFrameHeader1 ||
        m_input[1] != kFrameHeader2) {
        return;
    }
    const std::uint8_t command = m_input[4];
    const CommandPacket expected = MakeCommandPacket(command);
    if (std::equal(expected.begin(), expected.end(), m_input.begin())) {
        m_input.clear();
        OnCommand(command);
    }
}

void SimulatedConsole::OnCommand(std::uint8_t command) {
    if (m_scenario == ConsoleScenario::Silent) {
        return;
    }
    switch (command) {
        case kCmdEnable:
            // A new session: whatever an earlier tool left unread is dropped.
            m_enabled = true;
            m_output.clear();
            m_position = 0;
            m_awaitingEcho = false;
            m_stalled = false;
            break;
        case kCmdConsoleVersion:
            if (m_enabled) {
                Queue(VersionFrame(m_image));
            }
            break;
        case kCmdSystemRequest:
            if (m_enabled) {
                QueueRecordStream();
            }
            break;
        case kCmdEcho:
            if (m_awaitingEcho) {
                m_awaitingEcho = false;
                ++m_echoAnswers;
            }
            break;
        default:
            break;
    }
}

void SimulatedConsole::Queue(std::vector<std::uint8_t> bytes, After after) {
    m_output.push_back(Chunk{std::move(bytes), after});
}

std::uint8_t SimulatedConsole::NextNoise() {
    // xorshift: the same noise on every run, so failures can be replayed.
    m_noiseState ^= m_noiseState << 13;
    m_noiseState ^= m_noiseState >> 17;
    m_noiseState ^= m_noiseState << 5;
    auto byte = static_cast<std::uint8_t>(m_noiseState);
    // Noise never holds the header bytes, so it cannot pair with the tail of
    // a frame into a header of its own.
    if (byte == kFrameHeader1 || byte == kFrameHeader2) {
        byte = 0x55;
    }
    return byte;
}

void SimulatedConsole::QueueNoise() {
    std::vector<std::uint8_t> noise;
    const std::size_t garbage = 3 + NextNoise() % 6;
    for (std::size_t n = 0; n < garbage; ++n) {
        noise.push_back(NextNoise());
    }
    // A false header with a command the tool drops, complete with its body...
    noise.insert(noise.end(), {kFrameHeader1, kFrameHeader2, 0x00, 0x05, kNoiseCommand});
    for (int n = 0; n < 4; ++n) {
        noise.push_back(NextNoise());
    }
    // ...and one with length 0, dispatched at once.
    noise.insert(noise.end(), {kFrameHeader1, kFrameHeader2, 0x00, 0x00, kNoiseCommand});
    noise.push_back(NextNoise());
    Queue(std::move(noise));
}

void SimulatedConsole::QueueRecordStream() {
    std::size_t frames = 0;
    auto queueFrame = [&](std::vector<std::uint8_t> frame) {
        if (m_scenario == ConsoleScenario::Noisy && frames % kNoiseEvery == 0) {
            QueueNoise();
        }
        Queue(std::move(frame));
        if (++frames % kConsoleEchoEvery == 0) {
            Queue(EchoFrame(), After::AwaitEcho);
        }
    };
    for (std::size_t k = 0; k < kHtRecordCount; ++k) {
        if (m_scenario == ConsoleScenario::Stall && k == kStallAfterHtRecords) {
            auto frame =
                RecordFrame(kCmdSystemRequest, static_cast<std::uint8_t>(k), m_image.ht[k]);
            frame.resize(kStallFrameBytes);
            Queue(std::move(frame), After::Stall);
            return;
        }
        if (SendsHtRecord(m_scenario, k)) {
            queueFrame(RecordFrame(kCmdSystemRequest, static_cast<std::uint8_t>(k), m_image.ht[k]));
        }
    }
    for (std::size_t k = 0; k < kCmdRecordCount; ++k) {
        if (SendsCmdRecord(m_scenario, k)) {
            queueFrame(RecordFrame(kCmdSystemLog, static_cast<std::uint8_t>(k), m_image.cmd[k]));
        }
    }
    GeneratorImage::Params end;
    end.fill(kNoValue);
    queueFrame(RecordFrame(kCmdSystemLog, kEndMarkerIndex, end));
}

bool SimulatedConsole::HasOutput() const {
    return !m_awaitingEcho && !m_stalled && !m_output.empty();
}

std::uint8_t SimulatedConsole::TakeByte() {
    Chunk& chunk = m_output.front();
    const std::uint8_t byte = chunk.bytes[m_position++];
    if (m_position == chunk.bytes.size()) {
        if (chunk.after == After::AwaitEcho) {
            m_awaitingEcho = true;
            ++m_echoFramesSent;
        } else if (chunk.after == After::Stall) {
            m_stalled = true;
        }
        m_output.pop_front();
        m_position = 0;
    }
    return byte;
}

}  // namespace vok
