#include "report/SystemInfoDecoder.h"

#include <cstdlib>
#include <string_view>

#include "core/DiagnosisRecord.h"
#include "report/DecoderList.h"
#include "report/HtmlText.h"
#include "report/ValueFormat.h"

namespace vok {

namespace {

constexpr std::string_view kHeatUnitSuffix = " HU";

// System information decoders.
constexpr std::string_view kModelTexts[] = {"VOK-32", "VOK-40", "VOK-52",
                                            "VOK-68", "VOK-82", "VOK-102"};
constexpr std::string_view kKwTexts[] = {"32kW", "40kW", "52kW", "68kW", "82kW", "102kW"};
constexpr std::string_view kKvTexts[] = {"100kV", "125kV", "150kV"};
constexpr std::string_view kMasTexts[] = {"500mAs", "600mAs", "640mAs", "800mAs", "1000mAs"};
constexpr std::string_view kMaTexts[] = {"10mA",  "12.5mA", "16mA",  "20mA",  "25mA",  "32mA",
                                         "40mA",  "50mA",   "64mA",  "80mA",  "100mA", "125mA",
                                         "160mA", "200mA",  "250mA", "320mA", "400mA", "500mA",
                                         "640mA", "800mA",  "1000mA"};
constexpr std::string_view kPrepTimeTexts[] = {"0.8sec", "1.0sec", "1.2sec", "1.5sec", "1.8sec",
                                               "2.0sec", "2.2sec", "2.5sec", "2.8sec", "3.0sec"};
constexpr std::string_view kVoltageTexts[] = {"230VAC", "230VAC", "400VAC", "480VAC", "BATTERY"};
constexpr std::string_view kPhaseTexts[] = {"1P", "3P", "3P", "3P", ""};
constexpr std::string_view kFrequencyTexts[] = {"50Hz", "60Hz"};
constexpr std::string_view kOptionLetters = "HADTP";  // bit 0 first
constexpr std::string_view kBuckyTypeTexts[] = {"NONE", "BUCKYS", "BUCKYSFB", "BUCKYM", "BUCKYMFB"};
// Bucky settings by field: Non-Bucky (bits 5-7), Bucky1 (bits 2-4), Bucky2 (bits 0-1).
constexpr int kBuckySettingShift[] = {5, 2, 0};
constexpr int kBuckySettingMask[] = {0x07, 0x07, 0x03};
constexpr std::string_view kBuckySettingTexts[3][3] = {
    {"NORMAL", "DR0", "PHOTO FLUORO"}, {"NORMAL", "DR1", "TOMO"}, {"NORMAL", "DR2", kNbsp}};
constexpr std::string_view kEnableText = "ENABLE";
constexpr std::string_view kDisableText = "DISABLE";
// AEC channels 1 and 2: setting and field bit positions.
constexpr int kAecSettingShift[] = {6, 2};
constexpr int kAecFieldShift[] = {4, 0};
constexpr std::string_view kAecSettingTexts[] = {"OFF", "NON-BUCKY", "BUCKY 1", "BUCKY 2"};
constexpr std::string_view kAecFieldTexts[] = {"1 FIELD", "2 FIELD", "3 FIELD"};
constexpr int kDelayStepMs = 10;
constexpr std::string_view kDelayNone = "N/A";
constexpr std::string_view kMsSuffix = "ms";
constexpr int kSerialLength = 10;
constexpr char kVersionPoint = '.';
constexpr int kDigitsPerGroup = 3;
constexpr char kThousandsSeparator = ',';

static_assert(std::size(kMaTexts) == 21);
static_assert(std::size(kPrepTimeTexts) == 10);

constexpr int kNibbleBits = 4;
constexpr int kNibbleMask = 0x0F;
constexpr int kFieldMask = 0x03;
constexpr int kByteBits = 8;
constexpr int kHtSerialRecord = 3;
constexpr int kHtDeliveryRecord = 4;
constexpr int kHtCounterRecord = 5;
constexpr int kHtHeatRecord = 6;

// The bytes as a C string of the generator's characters: a zero byte ends the
// text, whatever follows it.
std::string CharactersUpToZero(const int* bytes, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count && bytes[i] != 0; ++i) {
        text += static_cast<char>(bytes[i]);
    }
    return text;
}

std::string WithSuffix(std::string text, std::string_view suffix) {
    text += suffix;
    return text;
}

}  // namespace

std::string SystemInfoDecoder::GetModelText(int code) {
    return DecoderList::Pick(kModelTexts, code);
}

std::string SystemInfoDecoder::GetKwText(int code) {
    return DecoderList::Pick(kKwTexts, code);
}

std::string SystemInfoDecoder::GetKvText(int code) {
    return DecoderList::Pick(kKvTexts, code);
}

std::string SystemInfoDecoder::GetMaText(int code) {
    return DecoderList::Pick(kMaTexts, code);
}

std::string SystemInfoDecoder::GetMasText(int code) {
    return DecoderList::Pick(kMasTexts, code);
}

std::string SystemInfoDecoder::GetVoltageText(int mains) {
    return DecoderList::Pick(kVoltageTexts, (mains >> kNibbleBits) & kNibbleMask);
}

std::string SystemInfoDecoder::GetPhaseText(int mains) {
    return DecoderList::Pick(kPhaseTexts, (mains >> kNibbleBits) & kNibbleMask);
}

std::string SystemInfoDecoder::GetFrequencyText(int mains) {
    return DecoderList::Pick(kFrequencyTexts, mains & kNibbleMask);
}

std::string SystemInfoDecoder::GetOptionText(int bits) {
    std::string text;
    for (std::size_t bit = 0; bit < kOptionLetters.size(); ++bit) {
        if ((bits >> bit) & 1) {
            text += kOptionLetters[bit];
        }
    }
    return text;
}

std::string SystemInfoDecoder::GetPrepTimeText(int code) {
    return DecoderList::Pick(kPrepTimeTexts, code);
}

std::string SystemInfoDecoder::GetBuckyTypeText(int byte, int which) {
    switch (which) {
        case 1:
            return DecoderList::Pick(kBuckyTypeTexts, (byte >> kNibbleBits) & kNibbleMask);
        case 2:
            return DecoderList::Pick(kBuckyTypeTexts, byte & kNibbleMask);
        default:
            return std::string(kNbsp);
    }
}

std::string SystemInfoDecoder::GetBuckySettingText(int byte, int which) {
    const auto field = static_cast<unsigned>(which);
    if (field >= std::size(kBuckySettingShift)) {
        return std::string(kNbsp);
    }
    return DecoderList::Pick(kBuckySettingTexts[field],
                             (byte >> kBuckySettingShift[field]) & kBuckySettingMask[field]);
}

std::string SystemInfoDecoder::GetEnableText(int byte, int bit) {
    const bool set = static_cast<unsigned>(bit) < kByteBits && ((byte >> bit) & 1) != 0;
    return std::string(set ? kEnableText : kDisableText);
}

std::string SystemInfoDecoder::GetAecSettingText(int byte, int which) {
    const auto channel = static_cast<unsigned>(which - 1);
    if (channel >= std::size(kAecSettingShift)) {
        return std::string(kNbsp);
    }
    return DecoderList::Pick(kAecSettingTexts, (byte >> kAecSettingShift[channel]) & kFieldMask);
}

std::string SystemInfoDecoder::GetAecFieldText(int byte, int which) {
    const auto channel = static_cast<unsigned>(which - 1);
    if (channel >= std::size(kAecFieldShift)) {
        return std::string(kNbsp);
    }
    return DecoderList::Pick(kAecFieldTexts, (byte >> kAecFieldShift[channel]) & kFieldMask);
}

std::string SystemInfoDecoder::GetDelayTimeText(int value) {
    if (value < 1) {
        return std::string(kDelayNone);
    }
    std::string text;
    HtmlText::AppendDecimal(text, static_cast<long long>(value) * kDelayStepMs);
    text += kMsSuffix;
    return text;
}

std::string SystemInfoDecoder::GetSerialNumberText() const {
    if (Ht(kHtSerialRecord, 1) == kNoValue) {
        return std::string(kNbsp);
    }
    int bytes[kSerialLength];
    for (int n = 0; n < kSerialLength; ++n) {
        bytes[n] = Ht(kHtSerialRecord, n + 1);
    }
    return HtmlText::Escape(CharactersUpToZero(bytes, kSerialLength));
}

std::string SystemInfoDecoder::GetDeliveryDateText() const {
    if (Ht(kHtDeliveryRecord, 1) == kNoValue) {
        return std::string(kNbsp);
    }
    std::string text(kCentury);
    HtmlText::AppendTwoDigits(text, HtmlText::Bcd(Ht(kHtDeliveryRecord, 1)));
    text += kDateSeparator;
    HtmlText::AppendTwoDigits(text, HtmlText::Bcd(Ht(kHtDeliveryRecord, 2)));
    text += kDateSeparator;
    HtmlText::AppendTwoDigits(text, HtmlText::Bcd(Ht(kHtDeliveryRecord, 3)));
    return text;
}

std::string SystemInfoDecoder::GetHtVersionText() const {
    if (Ht(kHtDeliveryRecord, 8) == 0) {
        return std::string(kNbsp);
    }
    // Four characters, the point, two characters; as one C string, so a zero
    // byte anywhere ends the text there.
    const int bytes[] = {Ht(kHtDeliveryRecord, 7),
                         Ht(kHtDeliveryRecord, 8),
                         Ht(kHtDeliveryRecord, 9),
                         Ht(kHtDeliveryRecord, 10),
                         kVersionPoint,
                         Ht(kHtCounterRecord, 8),
                         Ht(kHtCounterRecord, 9)};
    return HtmlText::Escape(CharactersUpToZero(bytes, std::size(bytes)));
}

std::string SystemInfoDecoder::GetConsoleVersionText() const {
    // "&nbsp;" is what the reader puts in when the file names no console
    // version; anything else is the file's own text.
    if (m_report.m_strConsoleVersion == kNbsp) {
        return m_report.m_strConsoleVersion;
    }
    return HtmlText::Escape(m_report.m_strConsoleVersion);
}

std::int32_t SystemInfoDecoder::GetExposureTotal() const {
    return static_cast<std::int32_t>(HtNumber(kHtCounterRecord, 1, 3));
}

std::int32_t SystemInfoDecoder::GetExposureToday() const {
    return static_cast<std::int32_t>(HtNumber(kHtCounterRecord, 4, 2));
}

std::int32_t SystemInfoDecoder::GetErrorCount() const {
    return static_cast<std::int32_t>(HtNumber(kHtCounterRecord, 6, 2));
}

std::int32_t SystemInfoDecoder::GetHeatUnitTotal() const {
    // All 32 bits, taken as signed: from 2^31 up the total shows negative.
    return static_cast<std::int32_t>(HtNumber(kHtHeatRecord, 1, 4));
}

std::int32_t SystemInfoDecoder::GetHeatUnitToday() const {
    return static_cast<std::int32_t>(HtNumber(kHtHeatRecord, 5, 3));
}

std::string SystemInfoDecoder::GetExposureTotalText() const {
    return WithSuffix(FormatGroupedNumber(GetExposureTotal()), kTimesSuffix);
}

std::string SystemInfoDecoder::GetExposureTodayText() const {
    return WithSuffix(FormatGroupedNumber(GetExposureToday()), kTimesSuffix);
}

std::string SystemInfoDecoder::GetErrorCountText() const {
    return WithSuffix(FormatGroupedNumber(GetErrorCount()), kTimesSuffix);
}

std::string SystemInfoDecoder::GetHeatUnitTotalText() const {
    return WithSuffix(FormatGroupedNumber(GetHeatUnitTotal()), kHeatUnitSuffix);
}

std::string SystemInfoDecoder::GetHeatUnitTodayText() const {
    return WithSuffix(FormatGroupedNumber(GetHeatUnitToday()), kHeatUnitSuffix);
}

std::string SystemInfoDecoder::FormatGroupedNumber(std::int32_t value) {
    std::string digits;
    HtmlText::AppendDecimal(digits, std::llabs(static_cast<long long>(value)));
    std::string text;
    const bool negative = value < 0;
    if (negative) {
        text += '(';
    }
    const std::size_t lead = digits.size() % kDigitsPerGroup;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (i + kDigitsPerGroup - lead) % kDigitsPerGroup == 0) {
            text += kThousandsSeparator;
        }
        text += digits[i];
    }
    if (negative) {
        text += ')';
    }
    return text;
}

int SystemInfoDecoder::Ht(int k, int n) const {
    return m_report.m_HtInfo[k].params[n - 1];
}

std::uint32_t SystemInfoDecoder::HtNumber(int k, int n, int count) const {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << kByteBits) | static_cast<std::uint32_t>(Ht(k, n + i));
    }
    return value;
}

}  // namespace vok
