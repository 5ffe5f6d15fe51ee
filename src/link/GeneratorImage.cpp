#include "link/GeneratorImage.h"

#include <cstddef>

namespace vok {

namespace {

using Params = GeneratorImage::Params;

constexpr std::uint8_t Bcd(int value) {
    return static_cast<std::uint8_t>((value / 10) * 16 + value % 10);
}
constexpr std::uint8_t Byte(std::uint32_t value, int n) {
    return static_cast<std::uint8_t>((value >> (8 * n)) & 0xFF);
}

Params Filled(std::uint8_t value) {
    Params p;
    p.fill(value);
    return p;
}

// Ratings and counters of the installation.
constexpr std::uint32_t kExposureTotal = 48213;
constexpr std::uint32_t kExposureToday = 37;
constexpr std::uint32_t kErrorTotal = 128;
constexpr std::uint32_t kHeatUnitsTotal = 91234567;
constexpr std::uint32_t kHeatUnitsToday = 245300;
constexpr int kErrorEntries = 12;
constexpr int kProtocolBlocks = 6;
constexpr int kMaxKw = 82;
constexpr int kOldTube = 7;
constexpr int kTube = 12;

// Tube voltages of the focus table columns and tube currents of its rows.
constexpr std::array<int, 6> kFocusKv = {40, 50, 60, 80, 100, 120};
constexpr std::array<int, 21> kFocusMaSteps = {
    10, 12, 16, 20, 25, 32, 40, 50, 64, 80, 100, 125, 160, 200, 250, 320, 400, 500, 640, 800, 1000};
constexpr int kFocusOffset = 2000;

struct Calibration {
    int year, month, day, tube, steps, exposures, minutes, seconds, fails;
};
constexpr std::array<Calibration, 6> kCalibrations = {{
    {21, 3, 18, kOldTube, 21, 84, 14, 37, 0},
    {22, 4, 5, kOldTube, 21, 86, 12, 5, 1},
    {23, 6, 27, kTube, 21, 84, 15, 48, 0},
    {24, 1, 9, kTube, 21, 85, 13, 21, 0},
    {25, 2, 14, kTube, 21, 84, 14, 3, 0},
    {26, 8, 31, kTube, 21, 88, 14, 51, 2},
}};

struct ErrorEntry {
    std::uint8_t codes[3];
    int year, month, day, hour, minute, second;
    std::uint8_t kv, maCode, timeCode, bucky, extDevice, aecScreen, aecField, density, apr, heat;
};
constexpr std::array<ErrorEntry, kErrorEntries> kErrors = {{
    {{0x1A, 0x00, 0x00}, 26, 9, 1, 8, 41, 12, 81, 13, 17, 1, 0x04, 0x02, 0x02, 18, 18, 37},
    {{0x05, 0x1A, 0x00}, 26, 8, 29, 14, 7, 55, 70, 12, 15, 2, 0x01, 0x01, 0x05, 19, 28, 42},
    {{0x23, 0x00, 0x00}, 26, 8, 12, 10, 33, 9, 125, 15, 9, 1, 0x04, 0x04, 0x02, 18, 19, 55},
    {{0x31, 0x05, 0x00}, 26, 7, 3, 9, 15, 40, 66, 11, 19, 0, 0x00, 0x00, 0x00, 18, 41, 21},
    {{0x42, 0x00, 0x00}, 26, 6, 17, 11, 58, 3, 90, 14, 14, 1, 0x08, 0x02, 0x07, 20, 17, 63},
    {{0x0C, 0x00, 0x00}, 26, 5, 20, 15, 1, 27, 57, 9, 21, 0, 0x40, 0x00, 0x00, 18, 49, 18},
    {{0x1A, 0x17, 0x00}, 26, 4, 2, 7, 49, 31, 81, 13, 16, 1, 0x04, 0x02, 0x02, 17, 18, 33},
    {{0x2B, 0x00, 0x00}, 26, 3, 11, 13, 12, 44, 109, 16, 12, 2, 0x01, 0x04, 0x05, 18, 25, 71},
    {{0x17, 0x00, 0x00}, 26, 1, 26, 8, 5, 19, 60, 10, 22, 0, 0x20, 0x00, 0x00, 18, 56, 12},
    {{0x05, 0x00, 0x00}, 25, 12, 9, 17, 36, 50, 73, 12, 17, 1, 0x04, 0x01, 0x02, 21, 33, 29},
    {{0x23, 0x31, 0x00}, 25, 11, 14, 9, 52, 8, 117, 15, 10, 1, 0x08, 0x02, 0x07, 18, 19, 48},
    {{0x42, 0x00, 0x00}, 25, 10, 30, 12, 20, 45, 85, 14, 13, 2, 0x01, 0x02, 0x02, 18, 41, 39},
}};

// One logged exposure of the protocol log: the commands a console sends
// for it, with their data bytes (255 where a command carries fewer).
struct ProtocolCommand {
    std::uint8_t code, address, data1, data2, data3;
};

Params SystemRecord1() {
    // 150 kV, 640 mA, VOK-82, 800 mAs, 400 VAC 3P 50 Hz, options H A T,
    // tube type, housing type, 1.5 s prep, output limit in kW.
    return {2, 18, 4, 3, 0x20, 0x0B, kTube, 3, 3, 80};
}

Params SystemRecord2() {
    // mA limit 500, small focus 250 mA, Bucky1 BUCKYS / Bucky2 BUCKYM,
    // Bucky1 DR1, door lock and interlock on, AEC1 Bucky 1 in 3 fields,
    // AEC2 Bucky 2 in 3 fields, 600 ms AEC backup, 150 ms bucky delay,
    // every error check but "Etc." enabled.
    return {17, 14, 0x13, 0x04, 0x0C, 0xAE, 60, 15, 0xFE, 0};
}

void FillSystemInformation(GeneratorImage& g) {
    g.ht[0] = {1, 3, 0, 0, 0, 0, 0, 0, 0, 0};
    g.ht[1] = SystemRecord1();
    g.ht[2] = SystemRecord2();
    const char serial[] = "VK82C10417";
    for (std::size_t n = 0; n < kParamCount; ++n) {
        g.ht[3][n] = static_cast<std::uint8_t>(serial[n]);
    }
    g.ht[4] = {Bcd(21), Bcd(3), Bcd(15), 0, 0, 0, 'H', 'T', '0', '3'};
    g.ht[5] = {Byte(kExposureTotal, 0),
               Byte(kExposureTotal, 1),
               Byte(kExposureTotal, 2),
               Byte(kExposureToday, 0),
               Byte(kExposureToday, 1),
               Byte(kErrorTotal, 0),
               Byte(kErrorTotal, 1),
               '1',
               '2',
               0};
    g.ht[6] = {Byte(kHeatUnitsTotal, 0),
               Byte(kHeatUnitsTotal, 1),
               Byte(kHeatUnitsTotal, 2),
               Byte(kHeatUnitsTotal, 3),
               Byte(kHeatUnitsToday, 0),
               Byte(kHeatUnitsToday, 1),
               Byte(kHeatUnitsToday, 2),
               3,
               kErrorEntries,
               kProtocolBlocks};
    // Filament and kV calibration; AEC calibration of both channels.
    g.ht[7] = {120, 135, 20, 25, 60, 90, 100, 140, 131, 126};
    g.ht[8] = {13, 133, 100, 102, 98, 12, 124, 101, 99, 97};
}

void FillCalibrationHistory(GeneratorImage& g) {
    constexpr std::size_t kFirst = 9;
    constexpr std::size_t kLast = 28;
    for (std::size_t k = kFirst; k <= kLast; ++k) {
        g.ht[k] = Filled(0);
    }
    for (std::size_t n = 0; n < kCalibrations.size(); ++n) {
        const Calibration& c = kCalibrations[n];
        g.ht[kFirst + n] = {static_cast<std::uint8_t>(n + 1),
                            Bcd(c.year),
                            Bcd(c.month),
                            Bcd(c.day),
                            static_cast<std::uint8_t>(c.tube),
                            static_cast<std::uint8_t>(c.steps),
                            static_cast<std::uint8_t>(c.exposures),
                            static_cast<std::uint8_t>(c.minutes),
                            static_cast<std::uint8_t>(c.seconds),
                            static_cast<std::uint8_t>(c.fails)};
    }
}

// A focus table: per row two records with three (flag, low, high) cells
// each; a cell is calibrated where the generator can deliver kV x mA.
void FillFocusTable(GeneratorImage& g, std::size_t first, int base, std::size_t firstRow,
                    std::size_t lastRow) {
    for (std::size_t r = 0; r < kFocusMaSteps.size(); ++r) {
        Params a{};
        Params b{};
        a[0] = static_cast<std::uint8_t>(r);
        b[0] = static_cast<std::uint8_t>(r);
        for (std::size_t col = 0; col < kFocusKv.size(); ++col) {
            Params& rec = col < 3 ? a : b;
            const std::size_t at = 1 + 3 * (col % 3);
            const bool usable =
                r >= firstRow && r <= lastRow && kFocusKv[col] * kFocusMaSteps[r] <= kMaxKw * 1000;
            if (!usable) {
                continue;
            }
            const int value = base + 52 * static_cast<int>(r) - 3 * kFocusKv[col];
            const auto stored = static_cast<std::uint32_t>(value + kFocusOffset);
            rec[at] = 1;
            rec[at + 1] = Byte(stored, 0);
            rec[at + 2] = Byte(stored, 1);
        }
        g.ht[first + 2 * r] = a;
        g.ht[first + 2 * r + 1] = b;
    }
}

void FillErrorLog(GeneratorImage& g) {
    constexpr std::size_t kFirst = 113;
    for (std::size_t k = kFirst; k < kHtRecordCount; ++k) {
        g.ht[k] = Filled(kNoValue);
    }
    for (std::size_t n = 0; n < kErrors.size(); ++n) {
        const ErrorEntry& e = kErrors[n];
        g.ht[kFirst + 2 * n] = {static_cast<std::uint8_t>(n + 1),
                                e.codes[0],
                                e.codes[1],
                                e.codes[2],
                                Bcd(e.year),
                                Bcd(e.month),
                                Bcd(e.day),
                                Bcd(e.hour),
                                Bcd(e.minute),
                                Bcd(e.second)};
        g.ht[kFirst + 2 * n + 1] = {e.kv,        e.maCode,   e.timeCode, e.bucky, e.extDevice,
                                    e.aecScreen, e.aecField, e.density,  e.apr,   e.heat};
    }
}

// The protocol log: for each error entry with a block, the 25 commands the
// console logged before it, one exposure after the other.
void FillProtocolLog(GeneratorImage& g) {
    g.cmd[0] = Filled(0);
    for (std::size_t k = 1; k < kCmdRecordCount; ++k) {
        g.cmd[k] = Filled(kNoValue);
    }
    constexpr std::size_t kBlock = 25;
    for (std::size_t b = 0; b < static_cast<std::size_t>(kProtocolBlocks); ++b) {
        const ErrorEntry& e = kErrors[b];
        const std::array<ProtocolCommand, 9> exposure = {{
            {0x06, 0x01, e.apr, 0xFF, 0xFF},
            {0x05, 0x01, e.bucky, 0xFF, 0xFF},
            {0x01, 0x02, e.kv, 0xFF, 0xFF},
            {0x02, 0x02, e.maCode, 0x00, 0xFF},
            {0x03, 0x02, e.timeCode, 0xFF, 0xFF},
            {0x10, 0x02, 0xFF, 0xFF, 0xFF},
            {0x12, 0x02, e.kv, e.maCode, e.timeCode},
            {0x13, 0x02, 0xFF, 0xFF, 0xFF},
            {0x11, 0x02, 0xFF, 0xFF, 0xFF},
        }};
        // Seconds counted back from the error, so the block ends at it.
        int clock = e.hour * 3600 + e.minute * 60 + e.second - static_cast<int>(kBlock) * 4;
        for (std::size_t n = 0; n < kBlock; ++n) {
            const ProtocolCommand c = n + 1 == kBlock
                                          ? ProtocolCommand{0x20, 0x01, e.codes[0], 0xFF, 0xFF}
                                          : exposure[n % exposure.size()];
            clock += 4;
            const int hour = clock / 3600;
            const int minute = clock / 60 % 60;
            const int second = clock % 60;
            g.cmd[1 + b * kBlock + n] = {static_cast<std::uint8_t>(b),
                                         static_cast<std::uint8_t>(n),
                                         Bcd(hour),
                                         Bcd(minute),
                                         Bcd(second),
                                         c.code,
                                         c.address,
                                         c.data1,
                                         c.data2,
                                         c.data3};
        }
    }
}

}  // namespace

GeneratorImage GeneratorImage::Build() {
    GeneratorImage g;
    const char version[] = "V2.31.5";
    for (std::size_t n = 0; n < kConsoleVersionWrittenBytes; ++n) {
        g.version[n] = static_cast<std::uint8_t>(version[n]);
    }
    g.version[kConsoleVersionWrittenBytes] = 0;
    FillSystemInformation(g);
    FillCalibrationHistory(g);
    constexpr std::size_t kSmallFocus = 29;
    constexpr std::size_t kLargeFocus = 71;
    constexpr std::size_t kSmallFocusLastRow = 14;  // 250 mA
    constexpr std::size_t kLargeFocusFirstRow = 4;  // 25 mA
    FillFocusTable(g, kSmallFocus, 1180, 0, kSmallFocusLastRow);
    FillFocusTable(g, kLargeFocus, 1420, kLargeFocusFirstRow, kFocusMaSteps.size() - 1);
    FillErrorLog(g);
    FillProtocolLog(g);
    return g;
}

}  // namespace vok
