#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "link/FrameProtocol.h"

namespace vok {

// The last 32 bytes received, newest at position 31. A frame is recognised
// and read by position in this window, so its quirks are part of the
// protocol: it is never cleared, and the header test looks at positions 27
// and 28, which may still hold the tail of the frame before.
class ReceiveWindow {
public:
    // Shifts everything one place towards 0 and puts the byte at 31.
    void Push(std::uint8_t byte);

    std::uint8_t At(std::size_t position) const { return m_bytes[position]; }

    // 0x16 at 27 and 0x02 at 28: the first five bytes of a frame have arrived.
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
};

}  // namespace vok
