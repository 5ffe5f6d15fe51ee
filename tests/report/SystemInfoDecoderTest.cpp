#include "report/SystemInfoDecoder.h"

#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <utility>

#include "support/ExpectTexts.h"

namespace vok {
namespace {

using D = SystemInfoDecoder;
using test::ExpectTexts;
using test::kNoText;

// A report whose HT record k holds the given parameters from P01 on.
ReportData WithRecord(int k, std::initializer_list<int> params, ReportData report = {}) {
    std::size_t n = 0;
    for (int value : params) {
        report.m_HtInfo[static_cast<std::size_t>(k)].params[n++] = static_cast<std::uint8_t>(value);
    }
    return report;
}

TEST(RatingDecoderTest, ListsEndAtTheirLastEntryAndRefuseNegatives) {
    ExpectTexts(D::GetModelText, 0, "VOK-32", 5, "VOK-102", 6, kNoText, -1, kNoText);
    ExpectTexts(D::GetKwText, 0, "32kW", 5, "102kW", 6, kNoText);
    ExpectTexts(D::GetKvText, 0, "100kV", 2, "150kV", 3, kNoText);
    ExpectTexts(D::GetMasText, 0, "500mAs", 4, "1000mAs", 5, kNoText);
    ExpectTexts(D::GetMaText, 0, "10mA", 1, "12.5mA", 20, "1000mA", 21, kNoText, 255, kNoText,
                INT_MIN, kNoText);
    ExpectTexts(D::GetPrepTimeText, 0, "0.8sec", 9, "3.0sec", 10, kNoText);
    ExpectTexts(D::GetDelayTimeText, 0, "N/A", 1, "10ms", 25, "250ms", 255, "2550ms");
}

TEST(MainsDecoderTest, SupplyAndFrequencyNibbles) {
    ExpectTexts(D::GetVoltageText, 0x00, "230VAC", 0x10, "230VAC", 0x31, "480VAC", 0x41, "BATTERY",
                0x50, kNoText, 0xFF, kNoText);
    ExpectTexts(D::GetPhaseText, 0x00, "1P", 0x10, "3P", 0x41, "", 0x50, kNoText);
    ExpectTexts(D::GetFrequencyText, 0x10, "50Hz", 0x41, "60Hz", 0x02, kNoText, 0xFF, kNoText);
}

TEST(OptionDecoderTest, OneLetterPerSetBitInBitOrder) {
    ExpectTexts(D::GetOptionText, 0x09, "HT", 0x1F, "HADTP", 0x10, "P", 0, "", 0xE0, "");
}

// Decodes one field `which` of a packed byte.
template <std::string (*Decode)(int, int)>
auto Field(int which) {
    return [which](int byte) { return Decode(byte, which); };
}

TEST(BitFieldDecoderTest, BuckyTypesAndSettings) {
    ExpectTexts(Field<D::GetBuckyTypeText>(1), 0x14, "BUCKYS", 0x05, "NONE", 0xFF, kNoText);
    ExpectTexts(Field<D::GetBuckyTypeText>(2), 0x14, "BUCKYMFB", 0x05, kNoText);
    ExpectTexts(Field<D::GetBuckyTypeText>(0), 0x11, kNoText);
    // 0x49 = 010 010 01: Non-Bucky 2, Bucky1 2, Bucky2 1.
    ExpectTexts(Field<D::GetBuckySettingText>(0), 0x49, "PHOTO FLUORO", 0x00, "NORMAL", 0x24, "DR0",
                0xFF, kNoText);
    ExpectTexts(Field<D::GetBuckySettingText>(1), 0x49, "TOMO", 0x24, "DR1", 0xFF, kNoText);
    ExpectTexts(Field<D::GetBuckySettingText>(2), 0x49, "DR2", 0x02, kNoText);
    ExpectTexts(Field<D::GetBuckySettingText>(3), 0x00, kNoText);
}

TEST(BitFieldDecoderTest, EnableBitAndAecChannels) {
    ExpectTexts(Field<D::GetEnableText>(0), 0x01, "ENABLE");
    ExpectTexts(Field<D::GetEnableText>(1), 0x01, "DISABLE");
    ExpectTexts(Field<D::GetEnableText>(7), 0x80, "ENABLE", 0x7F, "DISABLE");
    ExpectTexts(Field<D::GetEnableText>(8), 0xFF, "DISABLE");
    ExpectTexts(Field<D::GetEnableText>(-1), 0xFF, "DISABLE");
    // 0x68: AEC1 setting 1, field 2; AEC2 setting 2, field 0. 0xFF is all ones.
    ExpectTexts(Field<D::GetAecSettingText>(1), 0xFF, "BUCKY 2", 0x68, "NON-BUCKY", 0x00, "OFF");
    ExpectTexts(Field<D::GetAecSettingText>(2), 0xFF, "BUCKY 2", 0x68, "BUCKY 1");
    ExpectTexts(Field<D::GetAecFieldText>(1), 0xFF, kNoText, 0x68, "3 FIELD", 0x10, "2 FIELD");
    ExpectTexts(Field<D::GetAecFieldText>(2), 0xFF, kNoText, 0x68, "1 FIELD");
    ExpectTexts(Field<D::GetAecSettingText>(0), 0x68, kNoText);
    ExpectTexts(Field<D::GetAecFieldText>(3), 0x68, kNoText);
}

TEST(SerialDecoderTest, TenCharactersEndedByZeroAndEscaped) {
    const auto serial = [](std::initializer_list<int> bytes) {
        const ReportData report = WithRecord(3, bytes);
        return SystemInfoDecoder(report).GetSerialNumberText();
    };
    EXPECT_EQ(serial({'V', 'K', '1', '2', '3', '4', '5', '6', '7', '8'}), "VK12345678");
    EXPECT_EQ(serial({255, 'K', '1', '2', '3', '4', '5', '6', '7', '8'}), kNoText);
    EXPECT_EQ(serial({'A', 'B', 0, 'C', 'D', 'E', 'F', 'G', 'H', 'I'}), "AB");
    EXPECT_EQ(serial({'<', 'b', '>', '&', '"', '\'', 'x', 'y', 'z', 'w'}),
              "&lt;b&gt;&amp;&quot;&#39;xyzw");
}

TEST(DeliveryDateDecoderTest, PackedBcdWithoutValidation) {
    const auto date = [](std::initializer_list<int> bytes) {
        const ReportData report = WithRecord(4, bytes);
        return SystemInfoDecoder(report).GetDeliveryDateText();
    };
    EXPECT_EQ(date({0x07, 0x03, 0x15}), "2007/03/15");
    EXPECT_EQ(date({0x12, 0x31, 0x24}), "2012/31/24");
    EXPECT_EQ(date({0x00, 0x01, 0xFF}), "2000/01/165");
    EXPECT_EQ(date({0xFF, 0x01, 0x01}), kNoText);
}

TEST(HtVersionDecoderTest, FourCharactersPointTwoStoppingAtZeroAndEscaped) {
    const auto version = [](std::initializer_list<int> p4, std::initializer_list<int> p5) {
        const ReportData report = WithRecord(5, p5, WithRecord(4, p4));
        return SystemInfoDecoder(report).GetHtVersionText();
    };
    EXPECT_EQ(version({0, 0, 0, 0, 0, 0, 'H', 'T', '0', '2'}, {0, 0, 0, 0, 0, 0, 0, '1', '5'}),
              "HT02.15");
    EXPECT_EQ(version({0, 0, 0, 0, 0, 0, 'H', 0, '0', '2'}, {0, 0, 0, 0, 0, 0, 0, '1', '5'}),
              kNoText);
    EXPECT_EQ(version({0, 0, 0, 0, 0, 0, 0, 'T', '0', '2'}, {}), "");
    EXPECT_EQ(version({0, 0, 0, 0, 0, 0, '<', '&', '>', '1'}, {0, 0, 0, 0, 0, 0, 0, '"', 0}),
              "&lt;&amp;&gt;1.&quot;");
}

TEST(ConsoleVersionDecoderTest, FileTextEscapedNoValueKept) {
    ReportData report;
    for (const auto& [file, text] : std::initializer_list<std::pair<const char*, const char*>>{
             {"&nbsp;", "&nbsp;"}, {"V2.10-K", "V2.10-K"}, {"<img>", "&lt;img&gt;"}, {"", ""}}) {
        report.m_strConsoleVersion = file;
        EXPECT_EQ(SystemInfoDecoder(report).GetConsoleVersionText(), text);
    }
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
    const auto total = [](std::initializer_list<int> bytes) {
        const ReportData report = WithRecord(6, bytes);
        return SystemInfoDecoder(report).GetHeatUnitTotalText();
    };
    EXPECT_EQ(total({0, 0, 0, 0}), "0 HU");
    EXPECT_EQ(total({0xFF, 0xFF, 0xFF, 0x7F}), "2,147,483,647 HU");
    EXPECT_EQ(total({0, 0, 0, 0x80}), "(2,147,483,648) HU");
    const ReportData today = WithRecord(6, {0, 0, 0, 0, 0xE8, 0x03, 0});
    EXPECT_EQ(SystemInfoDecoder(today).GetHeatUnitTodayText(), "1,000 HU");
}

TEST(GroupedNumberTest, GroupsOfThreeNegativesInParentheses) {
    ExpectTexts(D::FormatGroupedNumber, 0, "0", 999, "999", 1000, "1,000", 99999, "99,999", 100000,
                "100,000", 1234567, "1,234,567", -1, "(1)", -5000, "(5,000)", INT32_MIN,
                "(2,147,483,648)", INT32_MAX, "2,147,483,647");
}

}  // namespace
}  // namespace vok
