#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/Constants.h"
#include "core/DiagnosisRecord.h"

namespace vok {

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
