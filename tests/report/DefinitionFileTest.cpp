#include "report/DefinitionFile.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace vok {
namespace {

// Each code's text comes from an index built at load; it must be what a
// lookup of the printed key finds.
TEST(DefinitionIndexTest, AgreesWithOneLookupPerKey) {
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
    struct Kind {
        const char* section;
        const char* format;
    };
    for (const Kind kind : {Kind{"ERROR", "CODE_0X%02X"}, Kind{"COMMAND", "COMMAND_%02d"},
                            Kind{"TUBE", "TUBE_%02d"}}) {
        for (int code = 0; code <= 255; ++code) {
            char key[32];
            std::snprintf(key, sizeof key, kind.format, code);
            EXPECT_EQ(define.LookupDefinition(kind.section, kind.format, code),
                      profile.Get(kind.section, key, "", 80))
                << key;
        }
    }
    EXPECT_EQ(define.GetErrorText(0xFF), "padded");  // 255 is a code here, not "no value"
    // Codes outside a byte give no value; a missing file gives empty texts.
    EXPECT_EQ(define.GetErrorText(256), "&nbsp;");
    EXPECT_EQ(define.GetErrorText(-1), "&nbsp;");
    EXPECT_EQ(define.LookupDefinition("ERROR", "CODE_0X%02X", 300), "&nbsp;");
    EXPECT_EQ(DefinitionFile::Load("/nonexistent/CFG/VOK.DEFINE").GetTubeText(3), "");
}

// The installed example must name whatever the simulated console emits:
// errors 0x01 to 0x60, commands 0 to 40, tubes 0 to 20.
TEST(ExampleDefinitionFileTest, NamesEveryCodeTheConsoleUses) {
    const DefinitionFile define = DefinitionFile::Load(VOK_EXAMPLES_DIR "/CFG/VOK.DEFINE");
    for (int code = 0; code <= 0x60; ++code) {
        EXPECT_TRUE(code == 0 || !define.GetErrorText(code).empty()) << "error " << code;
        EXPECT_TRUE(code > 40 || !define.GetCommandText(code).empty()) << "command " << code;
        EXPECT_TRUE(code > 20 || !define.GetTubeText(code).empty()) << "tube " << code;
    }
}

}  // namespace
}  // namespace vok
