#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "link/ConsoleScenario.h"
#include "link/GeneratorImage.h"

namespace vok {

// The generator's console as a byte machine, without threads or clocks: the
// tool's bytes go in, the console's bytes come out in the order and with the
// pauses of its scenario. The in-process simulated link and `vok console`
// (on a pseudo-terminal) drive the same machine and add the pacing.
//
// It answers like a generator: nothing before the enable command 0x64; the
// version frame after 0x72; after 0x26 the system records, the log records
// and the end marker, with an echo frame now and then after which it waits
// for the tool's echo packet before it goes on.
class SimulatedConsole {
public:
    explicit SimulatedConsole(ConsoleScenario scenario);

    ConsoleScenario Scenario() const { return m_scenario; }
    const GeneratorImage& Image() const { return m_image; }

    // One byte from the tool.
    void Receive(std::uint8_t byte);

    // True while a byte is ready to go out (false while the console waits
    // for an echo answer, has stalled, or has nothing to say).
    bool HasOutput() const;
    // The next byte; only when HasOutput().
    std::uint8_t TakeByte();

    std::size_t EchoFramesSent() const { return m_echoFramesSent; }
    std::size_t EchoAnswers() const { return m_echoAnswers; }
    bool Stalled() const { return m_stalled; }

    // Which records a scenario sends, so tests can tell what must arrive.
    static bool SendsHtRecord(ConsoleScenario scenario, std::size_t index);
    static bool SendsCmdRecord(ConsoleScenario scenario, std::size_t index);

    // Frames as the console sends them: header, third byte, length, command,
    // body, and the exclusive-or check of the bytes after the header.
    static std::vector<std::uint8_t> RecordFrame(std::uint8_t command, std::uint8_t index,
                                                 const GeneratorImage::Params& params);
    static std::vector<std::uint8_t> VersionFrame(const GeneratorImage& image);
    static std::vector<std::uint8_t> EchoFrame();

private:
    // What happens once a chunk has gone out.
    enum class After { Continue, AwaitEcho, Stall };
    struct Chunk {
        std::vector<std::uint8_t> bytes;
        After after = After::Continue;
    };

    void OnCommand(std::uint8_t command);
    void QueueRecordStream();
    void Queue(std::vector<std::uint8_t> bytes, After after = After::Continue);
    void QueueNoise();
    std::uint8_t NextNoise();

    ConsoleScenario m_scenario;
    GeneratorImage m_image;
    std::vector<std::uint8_t> m_input;  // the tool's last bytes, to find packets
    std::deque<Chunk> m_output;
    std::size_t m_position = 0;  // within the front chunk
    bool m_enabled = false;
    bool m_awaitingEcho = false;
    bool m_stalled = false;
    std::size_t m_echoFramesSent = 0;
    std::size_t m_echoAnswers = 0;
    std::uint32_t m_noiseState = 0x2545F491u;
};

}  // namespace vok
