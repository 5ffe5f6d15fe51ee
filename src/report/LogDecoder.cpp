#include "report/LogDecoder.h"

#include "core/DiagnosisRecord.h"
#include "report/DecoderList.h"
#include "report/HtmlText.h"
#include "report/ValueFormat.h"

namespace vok {

namespace {

// Log decoders.
constexpr std::string_view kExposureTimeTexts[] = {
    "1ms",    "2ms",    "3ms",    "4ms",    "5ms",    "6ms",    "8ms",    "10ms",
    "12ms",   "16ms",   "20ms",   "25ms",   "32ms",   "40ms",   "50ms",   "64ms",
    "80ms",   "100ms",  "125ms",  "160ms",  "200ms",  "250ms",  "320ms",  "400ms",
    "500ms",  "640ms",  "800ms",  "1000ms", "1250ms", "1600ms", "2000ms", "2500ms",
    "3200ms", "4000ms", "5000ms", "6400ms", "8000ms", "10000ms"};
constexpr std::string_view kLogBuckyTexts[] = {"NON-BUCKY", "BUCKY 1", "BUCKY 2"};
// External device bits in order of priority, the first set bit names the mode.
struct ExtDeviceBit {
    int bit;
    std::string_view text;
};
constexpr ExtDeviceBit kExtDeviceBits[] = {
    {0, "DR2"}, {2, "DR1"}, {3, "TOMO"}, {5, "DR0"}, {6, "PHOTO FLUORO"}};
constexpr std::string_view kAecNoUse = "NO USE";
constexpr std::string_view kAecScreenTexts[] = {"SMALL", "MEDIUM", "FAST"};  // bits 0-2
constexpr std::string_view kAecChamberOn[] = {"L(O)", "C(O)", "R(O)"};
constexpr std::string_view kAecChamberOff[] = {"L(X)", "C(X)", "R(X)"};
constexpr char kAecChamberSeparator = ',';
constexpr int kAecDensityFirstCode = 10;
constexpr std::string_view kAecDensityTexts[] = {"-8", "-7", "-6", "-5", "-4", "-3",
                                                 "-2", "-1", "0",  "+1", "+2", "+3",
                                                 "+4", "+5", "+6", "+7", "+8"};
// Anatomical programs: codes 1 to 64 fixed (filled with blanks to 24
// characters), 65 to 89 user programs.
constexpr std::size_t kAprNameWidth = 24;
constexpr std::string_view kAprFirstText = "Skull - AP\t\t\t   ";
constexpr std::string_view kAprNames[] = {
    "Skull - AP",
    "Skull - Lateral",
    "Skull - Town's",
    "Mandible - PA",
    "Mandible - Axial Lateral",
    "Mandible - Town's",
    "Nasal Bone - Lateral",
    "Zygomatic Arch - Axial",
    "PNS - Waters",
    "PNS - Caldwell",
    "PNS - Lateral",
    "Mastoid - Law",
    "Mastoid - Stenvers",
    "Mastoid - Townes",
    "T-M Joint - Lateral",
    "T-M Joint - Town's",
    "Chest - AP",
    "Chest - PA",
    "Chest - Lateral",
    "Chest - APICO",
    "Upper Rib - AP",
    "Upper Rib - Both Oblique",
    "Lower Rib - AP",
    "Lower Rib - Both Oblique",
    "Abdomen - Supine",
    "Abdomen - Erect",
    "Abdomen - KUB",
    "Pelvis - AP",
    "Pelvis - Lateral",
    "Hip - AP",
    "Hip - Lateral",
    "Decubitus",
    "C-Spine - AP",
    "C-Spine - Lateral",
    "C-Spine - Oblique",
    "C-Spine - Open Mouth",
    "T-Spine - AP",
    "T-Spine - Lateral",
    "T-Spine - Oblique",
    "T-Spine - Swimmer",
    "L-Spine - AP",
    "L-Spine - Lateral",
    "L-Spine - Oblique",
    "L-Spine - Cone Down",
    "Sacrum - AP",
    "Sacrum - Lateral",
    "Coccyx - AP",
    "Coccyx - Lateral",
    "Hand - AP",
    "Wrist - AP",
    "Forearm - AP",
    "Elbow - AP",
    "Humerus - AP",
    "Shoulder - AP",
    "Clavicle - AP",
    "Scapula - AP",
    "Toe - AP",
    "Foot - AP",
    "Ankle - AP",
    "Tibia - AP",
    "Knee - AP",
    "Merchant",
    "Femur - AP",
    "Calcanus - Axial",
};
constexpr int kAprUserCount = 25;
constexpr std::string_view kAprUserPrefix = "User APR ";

static_assert(std::size(kExposureTimeTexts) == 38);
static_assert(std::size(kAecDensityTexts) == 17);
static_assert(std::size(kAprNames) == 64);

std::string BcdTriple(std::string text, int first, int second, int third, char separator) {
    HtmlText::AppendTwoDigits(text, HtmlText::Bcd(first));
    text += separator;
    HtmlText::AppendTwoDigits(text, HtmlText::Bcd(second));
    text += separator;
    HtmlText::AppendTwoDigits(text, HtmlText::Bcd(third));
    return text;
}

}  // namespace

std::string LogDecoder::GetLogDateText(int year, int month, int day) {
    return BcdTriple(std::string(kCentury), year, month, day, kDateSeparator);
}

std::string LogDecoder::GetLogTimeText(int hour, int minute, int second) {
    return BcdTriple(std::string(), hour, minute, second, kTimeSeparator);
}

std::string LogDecoder::GetExposureTimeText(int code) {
    return DecoderList::Pick(kExposureTimeTexts, code);
}

std::string LogDecoder::GetLogBuckyText(int code) {
    return DecoderList::Pick(kLogBuckyTexts, code);
}

std::string LogDecoder::GetExtDeviceText(int bits) {
    for (const ExtDeviceBit& device : kExtDeviceBits) {
        if ((bits >> device.bit) & 1) {
            return std::string(device.text);
        }
    }
    return std::string(kNbsp);
}

std::string LogDecoder::GetAecScreenText(int bits) {
    if (bits == 0) {
        return std::string(kAecNoUse);
    }
    std::string_view text;
    for (std::size_t bit = 0; bit < std::size(kAecScreenTexts); ++bit) {
        if ((bits >> bit) & 1) {
            text = kAecScreenTexts[bit];
        }
    }
    return std::string(text);
}

std::string LogDecoder::GetAecFieldMapText(int bits) {
    if (bits == 0) {
        return std::string(kAecNoUse);
    }
    std::string text;
    for (std::size_t chamber = 0; chamber < std::size(kAecChamberOn); ++chamber) {
        if (chamber != 0) {
            text += kAecChamberSeparator;
        }
        text += ((bits >> chamber) & 1) ? kAecChamberOn[chamber] : kAecChamberOff[chamber];
    }
    return text;
}

std::string LogDecoder::GetAecDensityText(int code) {
    return DecoderList::Pick(kAecDensityTexts, code - kAecDensityFirstCode);
}

std::string LogDecoder::GetAprText(int code) {
    const auto index = static_cast<unsigned>(code - 1);
    if (index == 0) {
        return std::string(kAprFirstText);
    }
    if (index < std::size(kAprNames)) {
        std::string text(kAprNames[index]);
        if (text.size() < kAprNameWidth) {
            text.append(kAprNameWidth - text.size(), ' ');
        }
        return text;
    }
    const unsigned user = index - static_cast<unsigned>(std::size(kAprNames));
    if (user < static_cast<unsigned>(kAprUserCount)) {
        std::string text(kAprUserPrefix);
        HtmlText::AppendDecimal(text, user + 1);
        return text;
    }
    return std::string(kNbsp);
}

std::string LogDecoder::GetHexByteText(int value) {
    if (value == kNoValue) {
        return std::string(kNbsp);
    }
    return HtmlText::HexByte(value);
}

}  // namespace vok
