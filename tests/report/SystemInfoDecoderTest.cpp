#include "report/SystemInfoDecoder.h"

#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>

namespace vok {
namespace {

constexpr const char* kNoText = "&nbsp;";

// A report whose HT record k holds the given parameters from P01 on.
ReportData WithRecord(int k, std::initializer_list<int> params, ReportData report = {}) {
    std::size_t n = 0;
    for (int value : params) {
        report.m_HtInfo[static_cast<std::size_t>(k)].params[n++] = static_cast<std::uint8_t>(value);
    }
    return report;
}

TEST(RatingDecoderTest, ListsEndAtTheirLastEntry) {
    using D = SystemInfoDecoder;
    EXPECT_EQ(D::GetModelText(0), "VOK-32");
    EXPECT_EQ(D::GetModelText(5), "VOK-102");
    EXPECT_EQ(D::GetModelText(6), kNoText);
    EXPECT_EQ(D::GetKwText(0), "32kW");
    EXPECT_EQ(D::GetKwText(5), "102kW");
    EXPECT_EQ(D::GetKwText(6), kNoText);
    EXPECT_EQ(D::GetKvText(0), "100kV");
    EXPECT_EQ(D::GetKvText(2), "150kV");
    EXPECT_EQ(D::GetKvText(3), kNoText);
    EXPECT_EQ(D::GetMasText(0), "500mAs");
    EXPECT_EQ(D::GetMasText(4), "1000mAs");
    EXPECT_EQ(D::GetMasText(5), kNoText);
    EXPECT_EQ(D::GetMaText(0), "10mA");
    EXPECT_EQ(D::GetMaText(1), "12.5mA");
    EXPECT_EQ(D::GetMaText(20), "1000mA");
    EXPECT_EQ(D::GetMaText(21), kNoText);
    EXPECT_EQ(D::GetMaText(255), kNoText);
    EXPECT_EQ(D::GetPrepTimeText(0), "0.8sec");
    EXPECT_EQ(D::GetPrepTimeText(9), "3.0sec");
    EXPECT_EQ(D::GetPrepTimeText(10), kNoText);
}

TEST(RatingDecoderTest, NegativeCodesAreBeyondEveryList) {
    EXPECT_EQ(SystemInfoDecoder::GetModelText(-1), kNoText);
    EXPECT_EQ(SystemInfoDecoder::GetMaText(INT_MIN), kNoText);
}

TEST(MainsDecoderTest, SupplyAndFrequencyNibbles) {
    using D = SystemInfoDecoder;
    EXPECT_EQ(D::GetVoltageText(0x00), "230VAC");
    EXPECT_EQ(D::GetPhaseText(0x00), "1P");
    EXPECT_EQ(D::GetVoltageText(0x10), "230VAC");
    EXPECT_EQ(D::GetPhaseText(0x10), "3P");
    EXPECT_EQ(D::GetFrequencyText(0x10), "50Hz");
    EXPECT_EQ(D::GetVoltageText(0x31), "480VAC");
    EXPECT_EQ(D::GetVoltageText(0x41), "BATTERY");
    EXPECT_EQ(D::GetPhaseText(0x41), "");
    EXPECT_EQ(D::GetFrequencyText(0x41), "60Hz");
    EXPECT_EQ(D::GetVoltageText(0x50), kNoText);
    EXPECT_EQ(D::GetPhaseText(0x50), kNoText);
    EXPECT_EQ(D::GetFrequencyText(0x02), kNoText);
    EXPECT_EQ(D::GetVoltageText(0xFF), kNoText);
    EXPECT_EQ(D::GetFrequencyText(0xFF), kNoText);
}

TEST(OptionDecoderTest, OneLetterPerSetBitInBitOrder) {
    EXPECT_EQ(SystemInfoDecoder::GetOptionText(0x09), "HT");
    EXPECT_EQ(SystemInfoDecoder::GetOptionText(0x1F), "HADTP");
    EXPECT_EQ(SystemInfoDecoder::GetOptionText(0x10), "P");
    EXPECT_EQ(SystemInfoDecoder::GetOptionText(0), "");
    EXPECT_EQ(SystemInfoDecoder::GetOptionText(0xE0), "");
}

TEST(BuckyDecoderTest, TypesByNibble) {
    EXPECT_EQ(SystemInfoDecoder::GetBuckyTypeText(0x14, 1), "BUCKYS");
    EXPECT_EQ(SystemInfoDecoder::GetBuckyTypeText(0x14, 2), "BUCKYMFB");
    EXPECT_EQ(SystemInfoDecoder::GetBuckyTypeText(0x05, 1), "NONE");
    EXPECT_EQ(SystemInfoDecoder::GetBuckyTypeText(0x05, 2), kNoText);
    EXPECT_EQ(SystemInfoDecoder::GetBuckyTypeText(0xFF, 1), kNoText);
    EXPECT_EQ(SystemInfoDecoder::GetBuckyTypeText(0x11, 0), kNoText);
}

TEST(BuckyDecoderTest, SettingsFromThreeBitFields) {
    // 0x49 = 010 010 01: Non-Bucky 2, Bucky1 2, Bucky2 1.
    EXPECT_EQ(SystemInfoDecoder::GetBuckySettingText(0x49, 0), "PHOTO FLUORO");
    EXPECT_EQ(SystemInfoDecoder::GetBuckySettingText(0x49, 1), "TOMO");
    EXPECT_EQ(SystemInfoDecoder::GetBuckySettingText(0x49, 2), "DR2");
    EXPECT_EQ(SystemInfoDecoder::GetBuckySettingText(0x00, 0), "NORMAL");
    EXPECT_EQ(SystemInfoDecoder::GetBuckySettingText(0x24, 0), "DR0");
    EXPECT_EQ(SystemInfoDecoder::GetBuckySettingText(0x24, 1), "DR1");
    EXPECT_EQ(SystemInfoDecoder::GetBuckySettingText(0x02, 2), kNoText);
    EXPECT_EQ(SystemInfoDecoder::GetBuckySettingText(0xFF, 0), kNoText);
    EXPECT_EQ(SystemInfoDecoder::GetBuckySettingText(0xFF, 1), kNoText);
    EXPECT_EQ(SystemInfoDecoder::GetBuckySettingText(0x00, 3), kNoText);
}

TEST(EnableDecoderTest, ReadsOneBit) {
    EXPECT_EQ(SystemInfoDecoder::GetEnableText(0x01, 0), "ENABLE");
    EXPECT_EQ(SystemInfoDecoder::GetEnableText(0x01, 1), "DISABLE");
    EXPECT_EQ(SystemInfoDecoder::GetEnableText(0x80, 7), "ENABLE");
    EXPECT_EQ(SystemInfoDecoder::GetEnableText(0x7F, 7), "DISABLE");
    EXPECT_EQ(SystemInfoDecoder::GetEnableText(0xFF, 8), "DISABLE");
    EXPECT_EQ(SystemInfoDecoder::GetEnableText(0xFF, -1), "DISABLE");
}

TEST(AecDecoderTest, AllOnesByte) {
    EXPECT_EQ(SystemInfoDecoder::GetAecSettingText(0xFF, 1), "BUCKY 2");
    EXPECT_EQ(SystemInfoDecoder::GetAecFieldText(0xFF, 1), kNoText);
    EXPECT_EQ(SystemInfoDecoder::GetAecSettingText(0xFF, 2), "BUCKY 2");
    EXPECT_EQ(SystemInfoDecoder::GetAecFieldText(0xFF, 2), kNoText);
}

TEST(AecDecoderTest, ChannelsReadTheirOwnBits) {
    // AEC1 setting 1, field 2; AEC2 setting 2, field 0.
    const int byte = (1 << 6) | (2 << 4) | (2 << 2) | 0;
    EXPECT_EQ(SystemInfoDecoder::GetAecSettingText(byte, 1), "NON-BUCKY");
    EXPECT_EQ(SystemInfoDecoder::GetAecFieldText(byte, 1), "3 FIELD");
    EXPECT_EQ(SystemInfoDecoder::GetAecSettingText(byte, 2), "BUCKY 1");
    EXPECT_EQ(SystemInfoDecoder::GetAecFieldText(byte, 2), "1 FIELD");
    EXPECT_EQ(SystemInfoDecoder::GetAecSettingText(0x00, 1), "OFF");
    EXPECT_EQ(SystemInfoDecoder::GetAecFieldText(0x10, 1), "2 FIELD");
    EXPECT_EQ(SystemInfoDecoder::GetAecSettingText(byte, 0), kNoText);
    EXPECT_EQ(SystemInfoDecoder::GetAecFieldText(byte, 3), kNoText);
}

TEST(DelayDecoderTest, TenMillisecondSteps) {
    EXPECT_EQ(SystemInfoDecoder::GetDelayTimeText(0), "N/A");
    EXPECT_EQ(SystemInfoDecoder::GetDelayTimeText(1), "10ms");
    EXPECT_EQ(SystemInfoDecoder::GetDelayTimeText(25), "250ms");
    EXPECT_EQ(SystemInfoDecoder::GetDelayTimeText(255), "2550ms");
}

TEST(SerialDecoderTest, TenCharactersUnlessTheFirstIsMissing) {
    ReportData report = WithRecord(3, {'V', 'K', '1', '2', '3', '4', '5', '6', '7', '8'});
    EXPECT_EQ(SystemInfoDecoder(report).GetSerialNumberText(), "VK12345678");
    report.m_HtInfo[3].params[0] = 255;
    EXPECT_EQ(SystemInfoDecoder(report).GetSerialNumberText(), kNoText);
}

TEST(SerialDecoderTest, AZeroByteEndsTheText) {
    const ReportData report = WithRecord(3, {'A', 'B', 0, 'C', 'D', 'E', 'F', 'G', 'H', 'I'});
    EXPECT_EQ(SystemInfoDecoder(report).GetSerialNumberText(), "AB");
}

TEST(SerialDecoderTest, GeneratorCharactersCannotOpenMarkup) {
    const ReportData report = WithRecord(3, {'<', 'b', '>', '&', '"', '\'', 'x', 'y', 'z', 'w'});
    EXPECT_EQ(SystemInfoDecoder(report).GetSerialNumberText(), "&lt;b&gt;&amp;&quot;&#39;xyzw");
}

TEST(DeliveryDateDecoderTest, PackedBcdWithoutValidation) {
    EXPECT_EQ(SystemInfoDecoder(WithRecord(4, {0x07, 0x03, 0x15})).GetDeliveryDateText(),
              "2007/03/15");
    EXPECT_EQ(SystemInfoDecoder(WithRecord(4, {0x12, 0x31, 0x24})).GetDeliveryDateText(),
              "2012/31/24");
    EXPECT_EQ(SystemInfoDecoder(WithRecord(4, {0x00, 0x01, 0xFF})).GetDeliveryDateText(),
              "2000/01/165");
    EXPECT_EQ(SystemInfoDecoder(WithRecord(4, {0xFF, 0x01, 0x01})).GetDeliveryDateText(), kNoText);
}

TEST(HtVersionDecoderTest, FourCharactersPointTwo) {
    ReportData report = WithRecord(4, {0, 0, 0, 0, 0, 0, 'H', 'T', '0', '2'});
    report = WithRecord(5, {0, 0, 0, 0, 0, 0, 0, '1', '5'}, report);
    EXPECT_EQ(SystemInfoDecoder(report).GetHtVersionText(), "HT02.15");
    report.m_HtInfo[4].params[7] = 0;
    EXPECT_EQ(SystemInfoDecoder(report).GetHtVersionText(), kNoText);
}

TEST(HtVersionDecoderTest, StopsAtAZeroAndEscapes) {
    ReportData report = WithRecord(4, {0, 0, 0, 0, 0, 0, 0, 'T', '0', '2'});
    EXPECT_EQ(SystemInfoDecoder(report).GetHtVersionText(), "");
    report = WithRecord(4, {0, 0, 0, 0, 0, 0, '<', '&', '>', '1'});
    report = WithRecord(5, {0, 0, 0, 0, 0, 0, 0, '"', 0}, report);
    EXPECT_EQ(SystemInfoDecoder(report).GetHtVersionText(), "&lt;&amp;&gt;1.&quot;");
}

TEST(ConsoleVersionDecoderTest, FileTextEscapedNoValueKept) {
    ReportData report;
    report.m_strConsoleVersion = "&nbsp;";
    EXPECT_EQ(SystemInfoDecoder(report).GetConsoleVersionText(), "&nbsp;");
    report.m_strConsoleVersion = "V2.10-K";
    EXPECT_EQ(SystemInfoDecoder(report).GetConsoleVersionText(), "V2.10-K");
    report.m_strConsoleVersion = "<img>";
    EXPECT_EQ(SystemInfoDecoder(report).GetConsoleVersionText(), "&lt;img&gt;");
    report.m_strConsoleVersion = "";
    EXPECT_EQ(SystemInfoDecoder(report).GetConsoleVersionText(), "");
}

TEST(CounterDecoderTest, LittleEndianGroupedWithSuffix) {
    const ReportData report = WithRecord(5, {0x40, 0x42, 0x0F, 0x39, 0x30, 0x07, 0x00});
    const SystemInfoDecoder d(report);
    EXPECT_EQ(d.GetExposureTotalText(), "1,000,000 Times");
    EXPECT_EQ(d.GetExposureTodayText(), "12,345 Times");
    EXPECT_EQ(d.GetErrorCountText(), "7 Times");
}

TEST(CounterDecoderTest, MissingRecordsShowAllOnes) {
    const ReportData report;
    const SystemInfoDecoder d(report);
    EXPECT_EQ(d.GetExposureTotalText(), "16,777,215 Times");
    EXPECT_EQ(d.GetExposureTodayText(), "65,535 Times");
    EXPECT_EQ(d.GetErrorCountText(), "65,535 Times");
    EXPECT_EQ(d.GetHeatUnitTotalText(), "(1) HU");
    EXPECT_EQ(d.GetHeatUnitTodayText(), "16,777,215 HU");
}

TEST(CounterDecoderTest, HeatUnitsAreSignedThirtyTwoBits) {
    EXPECT_EQ(SystemInfoDecoder(WithRecord(6, {0, 0, 0, 0})).GetHeatUnitTotalText(), "0 HU");
    EXPECT_EQ(SystemInfoDecoder(WithRecord(6, {0xFF, 0xFF, 0xFF, 0x7F})).GetHeatUnitTotalText(),
              "2,147,483,647 HU");
    EXPECT_EQ(SystemInfoDecoder(WithRecord(6, {0, 0, 0, 0x80})).GetHeatUnitTotalText(),
              "(2,147,483,648) HU");
    EXPECT_EQ(SystemInfoDecoder(WithRecord(6, {0, 0, 0, 0, 0xE8, 0x03, 0})).GetHeatUnitTodayText(),
              "1,000 HU");
}

TEST(GroupedNumberTest, GroupsOfThreeNegativesInParentheses) {
    using D = SystemInfoDecoder;
    EXPECT_EQ(D::FormatGroupedNumber(0), "0");
    EXPECT_EQ(D::FormatGroupedNumber(999), "999");
    EXPECT_EQ(D::FormatGroupedNumber(1000), "1,000");
    EXPECT_EQ(D::FormatGroupedNumber(99999), "99,999");
    EXPECT_EQ(D::FormatGroupedNumber(100000), "100,000");
    EXPECT_EQ(D::FormatGroupedNumber(1234567), "1,234,567");
    EXPECT_EQ(D::FormatGroupedNumber(-1), "(1)");
    EXPECT_EQ(D::FormatGroupedNumber(-5000), "(5,000)");
    EXPECT_EQ(D::FormatGroupedNumber(INT32_MIN), "(2,147,483,648)");
    EXPECT_EQ(D::FormatGroupedNumber(INT32_MAX), "2,147,483,647");
}

}  // namespace
}  // namespace vok
