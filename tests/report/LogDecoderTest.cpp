#include "report/LogDecoder.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "support/ExpectTexts.h"

namespace vok {
namespace {

using L = LogDecoder;
using test::ExpectTexts;
using test::kNoText;

TEST(LogBcdDecoderTest, DateAndTimeWithoutRefusingMissingBytes) {
    EXPECT_EQ(L::GetLogTimeText(0x23, 0x59, 0x07), "23:59:07");
    EXPECT_EQ(L::GetLogTimeText(0x00, 0x00, 0x00), "00:00:00");
    EXPECT_EQ(L::GetLogDateText(0x99, 0x12, 0x31), "2099/12/31");
    EXPECT_EQ(L::GetLogDateText(0x09, 0x01, 0x05), "2009/01/05");
    EXPECT_EQ(L::GetLogTimeText(0xFF, 0xFF, 0xFF), "165:165:165");
    EXPECT_EQ(L::GetLogDateText(0xFF, 0x0A, 0x1F), "20165/10/25");
}

TEST(LogCodeDecoderTest, EachListToItsLastEntryAndOnePast) {
    ExpectTexts(L::GetExposureTimeText, 0, "1ms", 6, "8ms", 17, "100ms", 37, "10000ms", 38, kNoText,
                255, kNoText);
    ExpectTexts(L::GetLogBuckyText, 0, "NON-BUCKY", 2, "BUCKY 2", 3, kNoText);
    ExpectTexts(L::GetAecDensityText, 9, kNoText, 10, "-8", 18, "0", 19, "+1", 26, "+8", 27,
                kNoText, 0, kNoText);
    ExpectTexts(L::GetHexByteText, 0, "00", 0x0A, "0A", 254, "FE", 255, kNoText);
}

TEST(LogBitDecoderTest, DevicesScreensAndFields) {
    ExpectTexts(L::GetExtDeviceText, 0x41, "DR2", 0x44, "DR1", 0x68, "TOMO", 0x60, "DR0", 0x40,
                "PHOTO FLUORO", 0x92, kNoText, 0, kNoText);
    ExpectTexts(L::GetAecScreenText, 0, "NO USE", 1, "SMALL", 3, "MEDIUM", 5, "FAST", 7, "FAST", 8,
                "");
    ExpectTexts(L::GetAecFieldMapText, 0, "NO USE", 5, "L(O),C(X),R(O)", 7, "L(O),C(O),R(O)", 2,
                "L(X),C(O),R(X)", 8, "L(X),C(X),R(X)");
}

TEST(AprDecoderTest, FixedProgramsFilledToTwentyFourUserProgramsNot) {
    ExpectTexts(L::GetAprText, 0, kNoText, 1, "Skull - AP\t\t\t   ", 2, "Skull - Lateral         ",
                3, "Skull - Town's          ", 5, "Mandible - Axial Lateral", 14,
                "Mastoid - Townes        ", 62, "Merchant                ", 64,
                "Calcanus - Axial        ", 65, "User APR 1", 74, "User APR 10", 89, "User APR 25",
                90, kNoText, 255, kNoText, -1, kNoText);
    for (int code = 2; code <= 64; ++code) {
        EXPECT_EQ(L::GetAprText(code).size(), 24u) << "code " << code;
    }
}

}  // namespace
}  // namespace vok
