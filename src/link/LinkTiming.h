#pragma once

// The pace of the device links: how long they wait and write, how much they
// read at once, and how fast the simulated serial line runs.

#include <chrono>
#include <cstddef>

namespace vok {

inline constexpr int kBitsPerSerialByte = 10;  // start, 8 data, stop
// Longest single wait of the link: every wait rechecks stop and device state
// at least this often.
inline constexpr std::chrono::milliseconds kLinkWaitSlice{50};
// How long a 6-byte packet may take to leave before the write counts as failed.
inline constexpr std::chrono::milliseconds kLinkWriteTimeout{2000};
inline constexpr std::size_t kLinkReadChunk = 512;
// vok console writes what is due at most this often, as a USB bridge would.
inline constexpr std::chrono::milliseconds kConsoleWriteSlice{1};

}  // namespace vok
