#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/DiagnosisRecord.h"

namespace vok {

// The console version: bytes kept, bytes a version frame carries, bytes a
// report file holds; and the serial of a generator that sent none.
inline constexpr std::size_t kConsoleVersionSize = 10;
inline constexpr std::size_t kConsoleVersionFrameBytes = 8;
inline constexpr std::size_t kConsoleVersionWrittenBytes = 7;
inline constexpr std::string_view kNoSerial = "NONE";

// What one diagnosis pulls out of the console and carries into the report
// file: both record tables, the console version and the generator serial.
struct DiagnosisData {
    HtTable m_HtInfo{};
    CmdTable m_CmdInfo{};
    std::uint8_t m_bConsoleVersion = 0;
    std::array<std::uint8_t, kConsoleVersionSize> m_ConsoleVersion{};
    std::string m_strSerial;

    // Both tables empty and the version forgotten; the version bytes and the
    // serial stay as they are.
    void Clear() {
        ClearTable(m_HtInfo);
        ClearTable(m_CmdInfo);
        m_bConsoleVersion = 0;
    }
};

}  // namespace vok
