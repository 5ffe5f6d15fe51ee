#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <initializer_list>
#include <utility>

#include "ReportSample.h"
#include "report/DefinitionFile.h"
#include "report/LogDecoder.h"
#include "report/SystemInfoDecoder.h"
#include "support/ExpectTexts.h"

namespace vok {
namespace {

using D = SystemInfoDecoder;
using L = LogDecoder;
using test::ExpectTexts;
using test::kNoText;

// Decodes one field `which` of a packed byte.
template <std::string (*Decode)(int, int)>
auto Field(int which) {
    return [which](int byte) { return Decode(byte, which); };
}

// What `text` shows for a report whose HT record k holds the given
// parameters from P01 on. Texts of a whole record set are the golden page's.
using Text = std::string (SystemInfoDecoder::*)() const;
std::string Shown(Text text, int k, std::initializer_list<int> params) {
    ReportData report;
    test::Set(report.m_HtInfo, k, params);
    return (SystemInfoDecoder(report).*text)();
}

// Each list to its last entry and one past; negatives refused.
TEST(SystemInfoDecoderTest, ListsMainsNibblesAndOptionBits) {
    ExpectTexts(D::GetModelText, 0, "VOK-32", 5, "VOK-102", 6, kNoText, -1, kNoText);
    ExpectTexts(D::GetKwText, 0, "32kW", 5, "102kW", 6, kNoText);
    ExpectTexts(D::GetKvText, 0, "100kV", 2, "150kV", 3, kNoText);
    ExpectTexts(D::GetMasText, 0, "500mAs", 4, "1000mAs", 5, kNoText);
    ExpectTexts(D::GetMaText, 0, "10mA", 1, "12.5mA", 20, "1000mA", 21, kNoText, 255, kNoText,
                INT_MIN, kNoText);
    ExpectTexts(D::GetPrepTimeText, 0, "0.8sec", 9, "3.0sec", 10, kNoText);
    ExpectTexts(D::GetDelayTimeText, 0, "N/A", 1, "10ms", 25, "250ms", 255, "2550ms");
    ExpectTexts(D::GetVoltageText, 0x00, "230VAC", 0x10, "230VAC", 0x31, "480VAC", 0x41, "BATTERY",
                0x50, kNoText, 0xFF, kNoText);
    ExpectTexts(D::GetPhaseText, 0x00, "1P", 0x10, "3P", 0x41, "", 0x50, kNoText);
    ExpectTexts(D::GetFrequencyText, 0x10, "50Hz", 0x41, "60Hz", 0x02, kNoText, 0xFF, kNoText);
    // One letter per set bit, in bit order.
    ExpectTexts(D::GetOptionText, 0x09, "HT", 0x1F, "HADTP", 0x10, "P", 0, "", 0xE0, "");
    ExpectTexts(D::FormatGroupedNumber, 0, "0", 999, "999", 1000, "1,000", 100000, "100,000",
                1234567, "1,234,567", -1, "(1)", -5000, "(5,000)", INT32_MIN, "(2,147,483,648)");
}

TEST(SystemInfoDecoderTest, BitFieldsOfBuckiesEnablesAndAecChannels) {
    ExpectTexts(Field<D::GetBuckyTypeText>(1), 0x14, "BUCKYS", 0x05, "NONE", 0xFF, kNoText);
    ExpectTexts(Field<D::GetBuckyTypeText>(2), 0x14, "BUCKYMFB", 0x05, kNoText);
    ExpectTexts(Field<D::GetBuckyTypeText>(0), 0x11, kNoText);
    // 0x49 = 010 010 01: Non-Bucky 2, Bucky1 2, Bucky2 1.
    ExpectTexts(Field<D::GetBuckySettingText>(0), 0x49, "PHOTO FLUORO", 0x00, "NORMAL", 0x24, "DR0",
                0xFF, kNoText);
    ExpectTexts(Field<D::GetBuckySettingText>(1), 0x49, "TOMO", 0x24, "DR1", 0xFF, kNoText);
    ExpectTexts(Field<D::GetBuckySettingText>(2), 0x49, "DR2", 0x02, kNoText);
    ExpectTexts(Field<D::GetBuckySettingText>(3), 0x00, kNoText);
    ExpectTexts(Field<D::GetEnableText>(0), 0x01, "ENABLE");
    ExpectTexts(Field<D::GetEnableText>(7), 0x80, "ENABLE", 0x7F, "DISABLE");
    ExpectTexts(Field<D::GetEnableText>(-1), 0xFF, "DISABLE");
    // 0x68: AEC1 setting 1, field 2; AEC2 setting 2, field 0. 0xFF is all ones.
    ExpectTexts(Field<D::GetAecSettingText>(1), 0xFF, "BUCKY 2", 0x68, "NON-BUCKY", 0x00, "OFF");
    ExpectTexts(Field<D::GetAecSettingText>(2), 0xFF, "BUCKY 2", 0x68, "BUCKY 1");
    ExpectTexts(Field<D::GetAecFieldText>(1), 0xFF, kNoText, 0x68, "3 FIELD", 0x10, "2 FIELD");
    ExpectTexts(Field<D::GetAecFieldText>(2), 0xFF, kNoText, 0x68, "1 FIELD");
    ExpectTexts(Field<D::GetAecSettingText>(0), 0x68, kNoText);
    ExpectTexts(Field<D::GetAecFieldText>(3), 0x68, kNoText);
}

// Texts end at a zero byte; a missing first byte shows no value. Heat units
// are signed 32 bits. Escaping is the page's escaping test.
TEST(SystemInfoDecoderTest, RecordTextsAndSignedCounters) {
    EXPECT_EQ(Shown(&D::GetSerialNumberText, 3, {255, 'K', '1'}), kNoText);
    EXPECT_EQ(Shown(&D::GetSerialNumberText, 3, {'A', 'B', 0, 'C', 'D'}), "AB");
    EXPECT_EQ(Shown(&D::GetHtVersionText, 4, {0, 0, 0, 0, 0, 0, 'H', 0, '0', '2'}), kNoText);
    EXPECT_EQ(Shown(&D::GetHtVersionText, 4, {0, 0, 0, 0, 0, 0, 0, 'T', '0', '2'}), "");
    EXPECT_EQ(Shown(&D::GetDeliveryDateText, 4, {0xFF, 0x01, 0x01}), kNoText);
    EXPECT_EQ(Shown(&D::GetHeatUnitTotalText, 6, {}), "(1) HU");
    EXPECT_EQ(Shown(&D::GetHeatUnitTotalText, 6, {0xFF, 0xFF, 0xFF, 0x7F}), "2,147,483,647 HU");
    EXPECT_EQ(Shown(&D::GetHeatUnitTotalText, 6, {0, 0, 0, 0x80}), "(2,147,483,648) HU");
    // The reader's no-version text is shown as it is, not escaped again.
    ReportData report;
    report.m_strConsoleVersion = "&nbsp;";
    EXPECT_EQ(SystemInfoDecoder(report).GetConsoleVersionText(), "&nbsp;");
}

TEST(LogDecoderTest, ListsToTheirLastEntryAndOnePastDevicesScreensAndFields) {
    ExpectTexts(L::GetExposureTimeText, 0, "1ms", 6, "8ms", 17, "100ms", 37, "10000ms", 38, kNoText,
                255, kNoText);
    ExpectTexts(L::GetLogBuckyText, 0, "NON-BUCKY", 2, "BUCKY 2", 3, kNoText);
    ExpectTexts(L::GetAecDensityText, 9, kNoText, 10, "-8", 18, "0", 19, "+1", 26, "+8", 27,
                kNoText, 0, kNoText);
    ExpectTexts(L::GetHexByteText, 0, "00", 0x0A, "0A", 254, "FE", 255, kNoText);
    ExpectTexts(L::GetExtDeviceText, 0x41, "DR2", 0x44, "DR1", 0x68, "TOMO", 0x60, "DR0", 0x40,
                "PHOTO FLUORO", 0x92, kNoText, 0, kNoText);
    ExpectTexts(L::GetAecScreenText, 0, "NO USE", 1, "SMALL", 3, "MEDIUM", 5, "FAST", 7, "FAST", 8,
                "");
    ExpectTexts(L::GetAecFieldMapText, 0, "NO USE", 5, "L(O),C(X),R(O)", 7, "L(O),C(O),R(O)", 2,
                "L(X),C(O),R(X)", 8, "L(X),C(X),R(X)");
    // Fixed programs are filled to 24 characters, user programs not.
    ExpectTexts(L::GetAprText, 0, kNoText, 1, "Skull - AP\t\t\t   ", 2, "Skull - Lateral         ",
                3, "Skull - Town's          ", 64, "Calcanus - Axial        ", 65, "User APR 1", 89,
                "User APR 25", 90, kNoText, 255, kNoText, -1, kNoText);
    for (int code = 2; code <= 64; ++code) {
        EXPECT_EQ(L::GetAprText(code).size(), 24u) << "code " << code;
    }
}

// Each code's text comes from an index built at load; it must be what a
// lookup of the printed key finds.
TEST(DefinitionFileTest, IndexAgreesWithOneLookupPerKeyShippedFileNamesEveryCode) {
    const std::string text =
        "[ERROR]\nCODE_0X1a=lower digit\ncode_0x1A=second\nCODE_0X5=short\nCODE_0X005=long\n"
        "CODE_0X05=five\nCODE_0XG1=not hex\nCODE_0X=none\nCODE_0X100=big\n CODE_0XFF = padded \n"
        "CODE_0X01=<b>Mains</b> &amp; fuse\nCOMMAND_06=wrong section\nCODE_0X00=No error\n"
        "[COMMAND]\nCOMMAND_5=short\nCOMMAND_005=long\nCOMMAND_05=five\nCOMMAND_123=x\n"
        "COMMAND_0123=y\nCOMMAND_256=z\nCOMMAND_-1=w\nCOMMAND_1A=hex\ncommand_99=lower\n"
        "[TUBE]\nTUBE_00=zero\nTUBE_0=short zero\nTUBE_255=\"quoted\"\nTUBE_01=" +
        std::string(100, 'x') + "\n[ERROR]\nCODE_0X06=repeated section\n";
    const DefinitionFile define = DefinitionFile::Parse(text);
    const ProfileFile profile = ProfileFile::Parse(text);
    for (const auto& [section, format] :
         {std::pair{"ERROR", "CODE_0X%02X"}, std::pair{"COMMAND", "COMMAND_%02d"},
          std::pair{"TUBE", "TUBE_%02d"}}) {
        for (int code = 0; code <= 255; ++code) {
            char key[32];
            std::snprintf(key, sizeof key, format, code);
            EXPECT_EQ(define.LookupDefinition(section, format, code),
                      profile.Get(section, key, "", 80))
                << key;
        }
    }
    EXPECT_EQ(define.GetErrorText(0xFF), "padded");  // 255 is a code here, not "no value"
    // Codes outside a byte give no value; a missing file gives empty texts.
    EXPECT_EQ(define.GetErrorText(256), "&nbsp;");
    EXPECT_EQ(define.GetErrorText(-1), "&nbsp;");
    EXPECT_EQ(DefinitionFile::Load("/nonexistent/CFG/VOK.DEFINE").GetTubeText(3), "");

    // The shipped definitions name every code the built-in console sends, so
    // the demonstration's page has no empty description.
    const DefinitionFile shipped = DefinitionFile::Load(VOK_EXAMPLES_DIR "/CFG/VOK.DEFINE");
    for (int code = 0; code <= 0x60; ++code) {
        EXPECT_TRUE(code == 0 || !shipped.GetErrorText(code).empty()) << "error " << code;
        EXPECT_TRUE(code > 40 || !shipped.GetCommandText(code).empty()) << "command " << code;
        EXPECT_TRUE(code > 20 || !shipped.GetTubeText(code).empty()) << "tube " << code;
    }
}

}  // namespace
}  // namespace vok
