#include "report/LogDecoder.h"

#include <gtest/gtest.h>

namespace vok {
namespace {

constexpr const char* kNoText = "&nbsp;";

TEST(LogBcdDecoderTest, DateAndTime) {
    EXPECT_EQ(LogDecoder::GetLogTimeText(0x23, 0x59, 0x07), "23:59:07");
    EXPECT_EQ(LogDecoder::GetLogTimeText(0x00, 0x00, 0x00), "00:00:00");
    EXPECT_EQ(LogDecoder::GetLogDateText(0x99, 0x12, 0x31), "2099/12/31");
    EXPECT_EQ(LogDecoder::GetLogDateText(0x09, 0x01, 0x05), "2009/01/05");
    // Missing bytes are not refused: 0xFF reads as 165.
    EXPECT_EQ(LogDecoder::GetLogTimeText(0xFF, 0xFF, 0xFF), "165:165:165");
    EXPECT_EQ(LogDecoder::GetLogDateText(0xFF, 0x0A, 0x1F), "20165/10/25");
}

TEST(ExposureTimeDecoderTest, ThirtyEightSteps) {
    EXPECT_EQ(LogDecoder::GetExposureTimeText(0), "1ms");
    EXPECT_EQ(LogDecoder::GetExposureTimeText(6), "8ms");
    EXPECT_EQ(LogDecoder::GetExposureTimeText(17), "100ms");
    EXPECT_EQ(LogDecoder::GetExposureTimeText(37), "10000ms");
    EXPECT_EQ(LogDecoder::GetExposureTimeText(38), kNoText);
    EXPECT_EQ(LogDecoder::GetExposureTimeText(255), kNoText);
}

TEST(LogBuckyDecoderTest, StartsAtNonBucky) {
    EXPECT_EQ(LogDecoder::GetLogBuckyText(0), "NON-BUCKY");
    EXPECT_EQ(LogDecoder::GetLogBuckyText(2), "BUCKY 2");
    EXPECT_EQ(LogDecoder::GetLogBuckyText(3), kNoText);
}

TEST(ExtDeviceDecoderTest, FirstSetBitByPriority) {
    EXPECT_EQ(LogDecoder::GetExtDeviceText(0x41), "DR2");
    EXPECT_EQ(LogDecoder::GetExtDeviceText(0x44), "DR1");
    EXPECT_EQ(LogDecoder::GetExtDeviceText(0x68), "TOMO");
    EXPECT_EQ(LogDecoder::GetExtDeviceText(0x60), "DR0");
    EXPECT_EQ(LogDecoder::GetExtDeviceText(0x40), "PHOTO FLUORO");
    EXPECT_EQ(LogDecoder::GetExtDeviceText(0x92), kNoText);
    EXPECT_EQ(LogDecoder::GetExtDeviceText(0), kNoText);
}

TEST(AecScreenDecoderTest, HighestSetBitWins) {
    EXPECT_EQ(LogDecoder::GetAecScreenText(0), "NO USE");
    EXPECT_EQ(LogDecoder::GetAecScreenText(1), "SMALL");
    EXPECT_EQ(LogDecoder::GetAecScreenText(3), "MEDIUM");
    EXPECT_EQ(LogDecoder::GetAecScreenText(5), "FAST");
    EXPECT_EQ(LogDecoder::GetAecScreenText(7), "FAST");
    EXPECT_EQ(LogDecoder::GetAecScreenText(8), "");
}

TEST(AecFieldMapDecoderTest, ThreeChambers) {
    EXPECT_EQ(LogDecoder::GetAecFieldMapText(0), "NO USE");
    EXPECT_EQ(LogDecoder::GetAecFieldMapText(5), "L(O),C(X),R(O)");
    EXPECT_EQ(LogDecoder::GetAecFieldMapText(7), "L(O),C(O),R(O)");
    EXPECT_EQ(LogDecoder::GetAecFieldMapText(2), "L(X),C(O),R(X)");
    EXPECT_EQ(LogDecoder::GetAecFieldMapText(8), "L(X),C(X),R(X)");
}

TEST(AecDensityDecoderTest, SeventeenStepsFromCodeTen) {
    EXPECT_EQ(LogDecoder::GetAecDensityText(9), kNoText);
    EXPECT_EQ(LogDecoder::GetAecDensityText(10), "-8");
    EXPECT_EQ(LogDecoder::GetAecDensityText(18), "0");
    EXPECT_EQ(LogDecoder::GetAecDensityText(19), "+1");
    EXPECT_EQ(LogDecoder::GetAecDensityText(26), "+8");
    EXPECT_EQ(LogDecoder::GetAecDensityText(27), kNoText);
    EXPECT_EQ(LogDecoder::GetAecDensityText(0), kNoText);
}

TEST(AprDecoderTest, FixedProgramsFilledToTwentyFourCharacters) {
    EXPECT_EQ(LogDecoder::GetAprText(0), kNoText);
    EXPECT_EQ(LogDecoder::GetAprText(1), "Skull - AP\t\t\t   ");
    EXPECT_EQ(LogDecoder::GetAprText(2), "Skull - Lateral         ");
    EXPECT_EQ(LogDecoder::GetAprText(3), "Skull - Town's          ");
    EXPECT_EQ(LogDecoder::GetAprText(5), "Mandible - Axial Lateral");
    EXPECT_EQ(LogDecoder::GetAprText(14), "Mastoid - Townes        ");
    EXPECT_EQ(LogDecoder::GetAprText(62), "Merchant                ");
    EXPECT_EQ(LogDecoder::GetAprText(64), "Calcanus - Axial        ");
    for (int code = 2; code <= 64; ++code) {
        EXPECT_EQ(LogDecoder::GetAprText(code).size(), 24u) << "code " << code;
    }
}

TEST(AprDecoderTest, UserProgramsWithoutFilling) {
    EXPECT_EQ(LogDecoder::GetAprText(65), "User APR 1");
    EXPECT_EQ(LogDecoder::GetAprText(74), "User APR 10");
    EXPECT_EQ(LogDecoder::GetAprText(89), "User APR 25");
    EXPECT_EQ(LogDecoder::GetAprText(90), kNoText);
    EXPECT_EQ(LogDecoder::GetAprText(255), kNoText);
    EXPECT_EQ(LogDecoder::GetAprText(-1), kNoText);
}

TEST(HexByteDecoderTest, TwoUpperCaseDigitsOrNoValue) {
    EXPECT_EQ(LogDecoder::GetHexByteText(0), "00");
    EXPECT_EQ(LogDecoder::GetHexByteText(0x0A), "0A");
    EXPECT_EQ(LogDecoder::GetHexByteText(254), "FE");
    EXPECT_EQ(LogDecoder::GetHexByteText(255), kNoText);
}

}  // namespace
}  // namespace vok
