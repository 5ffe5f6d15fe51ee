#include "report/LogDecoder.h"

#include "core/Constants.h"
#include "report/DecoderList.h"
#include "report/HtmlText.h"

namespace vok {

namespace {

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
