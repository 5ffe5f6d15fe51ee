#pragma once

#include <array>
#include <cstdint>

#include "core/DiagnosisData.h"
#include "core/DiagnosisRecord.h"

namespace vok {

// What the simulated generator holds in memory: the ten parameter bytes of
// every system record and log record, and its console version. The values
// describe one plausible installation, so a report made from them reads like
// a real one (model, ratings, serial, BCD dates, counters, calibration
// history, focus tables, error entries and their protocol blocks).
struct GeneratorImage {
    using Params = std::array<std::uint8_t, kParamCount>;

    std::array<Params, kHtRecordCount> ht{};
    std::array<Params, kCmdRecordCount> cmd{};
    std::array<std::uint8_t, kConsoleVersionFrameBytes> version{};

    static GeneratorImage Build();
};

}  // namespace vok
