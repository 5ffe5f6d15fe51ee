#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "link/FrameProtocol.h"

namespace vok {

// The last 32 bytes received, newest at position 31. A frame is recognised
// and read by position in this window, so its quirks are part of the
// protocol: it is never cleared, and a frame longer than the window leaves
// later body bytes where its record would be.
//
// The header test looks at positions 27 to 31, which for the first bytes
// after a frame still hold that frame's tail. Those bytes were a frame's
// already: a header made of them would be false, and a false header takes
// the old check byte as its length and swallows the real frames behind it.
// So the test only fires once all five header bytes arrived after the last
// frame ended.
class ReceiveWindow {
public:
    // Shifts everything one place towards 0 and puts the byte at 31.
    void Push(std::uint8_t byte);
    // The frame whose last byte is at 31 is complete: its bytes never start
    // another one.
    void EndFrame() { m_sinceFrame = 0; }

    std::uint8_t At(std::size_t position) const { return m_bytes[position]; }

    // 0x16 at 27 and 0x02 at 28, all five header bytes received since the
    // last frame: the first five bytes of a frame have arrived.
    bool IsFrameHeader() const;
    // The frame's bytes still to come: the length byte (30) minus one; -1
    // for a length byte of 0.
    int GetFrameLength() const;
    std::uint8_t GetFrameCommand() const;

    // Where a complete record frame leaves its index and parameters.
    std::uint8_t RecordIndex() const { return m_bytes[kWindowRecordIndexPos]; }
    std::uint8_t RecordParam(std::size_t n) const { return m_bytes[kWindowRecordParamPos + n]; }
    // Byte n of the version a complete version frame leaves at 24 to 31.
    std::uint8_t VersionByte(std::size_t n) const { return m_bytes[kWindowVersionPos + n]; }

private:
    std::array<std::uint8_t, kRxWindowSize> m_bytes{};
    // Bytes pushed since the last frame ended, counted up to the window's size.
    std::size_t m_sinceFrame = kRxWindowSize;
};

}  // namespace vok
