#pragma once

#include <array>
#include <cstdint>

#include "link/FrameProtocol.h"

namespace vok {

// The six bytes the tool sends for one command: header, 0x21, length 2, the
// command and a check byte that is the exclusive or of bytes 2 to 4.
using CommandPacket = std::array<std::uint8_t, kCommandPacketSize>;

constexpr CommandPacket MakeCommandPacket(std::uint8_t command) {
    const auto check = static_cast<std::uint8_t>(kToolThirdByte ^ kCommandLengthByte ^ command);
    return {kFrameHeader1, kFrameHeader2, kToolThirdByte, kCommandLengthByte, command, check};
}

}  // namespace vok
