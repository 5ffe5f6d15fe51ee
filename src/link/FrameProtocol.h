#pragma once

// The console's serial frame protocol: packet and frame bytes, command codes
// and where a complete frame leaves its parts in the receive window.

#include <cstddef>
#include <cstdint>

namespace vok {

// The tool's 6-byte command packet and the commands it sends.
inline constexpr std::size_t kCommandPacketSize = 6;
inline constexpr std::uint8_t kFrameHeader1 = 0x16;
inline constexpr std::uint8_t kFrameHeader2 = 0x02;
inline constexpr std::uint8_t kToolThirdByte = 0x21;
inline constexpr std::uint8_t kCommandLengthByte = 0x02;
inline constexpr std::uint8_t kCmdEnable = 0x64;
inline constexpr std::uint8_t kCmdConsoleVersion = 0x72;
inline constexpr std::uint8_t kCmdSystemRequest = 0x26;
inline constexpr std::uint8_t kCmdSystemLog = 0x1F;
inline constexpr std::uint8_t kCmdEcho = 0x65;

// The receive window and where a complete frame leaves its parts in it.
inline constexpr std::size_t kRxWindowSize = 32;
inline constexpr std::size_t kWindowHeader1Pos = 27;
inline constexpr std::size_t kWindowHeader2Pos = 28;
inline constexpr std::size_t kWindowLengthPos = 30;
inline constexpr std::size_t kWindowCommandPos = 31;
inline constexpr std::size_t kWindowRecordIndexPos = 20;
inline constexpr std::size_t kWindowRecordParamPos = 21;
inline constexpr std::size_t kWindowVersionPos = 24;
inline constexpr std::uint8_t kRecordFrameLength = 13;  // L of a 17-byte record frame
inline constexpr std::uint8_t kVersionFrameLength = 9;  // L of a 13-byte version frame
// The third byte of the frames the simulated console sends.
inline constexpr std::uint8_t kConsoleThirdByte = 0x12;

}  // namespace vok
