#include "platform/ProfileFile.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "support/TempDir.h"

namespace vok {
namespace {

TEST(ProfileFileTest, ReadsSectionsKeysAndValuesAsTheSiteFilesExpect) {
    const std::string sections =
        "[Service]\r\nName=Kim\r\nname=2\r\n[user]\r\nEMAIL=x@y\r\n"
        "[B]\r\nName=3\r\n[SERVICE]\r\nName=4\r\nL=5\r\n";
    const std::string huge(10 * 1024 * 1024, 'z');
    // The file's text, section, key; then the value read with a 255-byte buffer.
    for (const auto& [text, section, key, value] : std::vector<std::array<std::string, 4>>{
             // Case ignored, sections kept apart, the first match wins.
             {sections, "SERVICE", "name", "Kim"},
             {sections, "USER", "NAME", "<default>"},
             {sections, "T", "NAME", "<default>"},
             {sections, "SERVICE", "L", "<default>"},
             {sections, "B", "NAME", "3"},
             {"[unterminated\nK=1\n", "unterminated", "K", "1"},
             {"[]\n=1\n", "", "", "1"},
             // After the first '=', trimmed, unquoted once; a NUL ends it as in C.
             {"[S]\nK = a=b \n", "S", "K", "a=b"},
             {"[S]\n  K\t=\t value with  inner  blanks \t\n", "S", "K",
              "value with  inner  blanks"},
             {"[S]\nK=\"quoted\"\n", "S", "K", "quoted"},
             {"[S]\nK='single'\n", "S", "K", "single"},
             {"[S]\nK=\"\"twice\"\"\n", "S", "K", "\"twice\""},
             {"[S]\nK=\"mixed'\n", "S", "K", "\"mixed'"},
             {"[S]\nK=\"\n", "S", "K", "\""},
             {"[S]\nK=\n", "S", "K", ""},
             {std::string("[S]\nK=ab\0cd\n", 12), "S", "K", "ab"},
             // Keys before any section belong to none; CR LF, LF, no final line end.
             {"K=1\n[S]\n", "S", "K", "<default>"},
             {"[S]\r\nA=1\r\nB=2", "S", "B", "2"},
             {"[S]\nA=1\r\n\r\nB=2\n", "S", "A", "1"},
             // Cut to the buffer less one, even on a 10 MB line.
             {"[S]\nK=" + huge + "\n", "S", "K", std::string(254, 'z')},
             {huge, "S", "K", "<default>"}}) {
        EXPECT_EQ(ProfileFile::Parse(text).Get(section, key, "<default>", 255), value)
            << text.substr(0, 60) << " / " << section << " / " << key;
    }
    // The default is cut the same way.
    EXPECT_EQ(ProfileFile::Parse("").Get("S", "K", huge, 80), std::string(79, 'z'));
}

// No file is the default; each read sees the file as it is now.
TEST(ProfileFileTest, ReadOpensTheFileEachTime) {
    test::TempDir dir;
    EXPECT_EQ(ProfileFile::Read("S", "K", "255", 80, dir.File("missing.ini")), "255");
    const std::string path = dir.Write("a.ini", "[S]\nK=old\n");
    EXPECT_EQ(ProfileFile::Read("S", "K", "", 255, path), "old");
    dir.Write("a.ini", "[S]\nK=new\n");
    EXPECT_EQ(ProfileFile::Read("S", "K", "", 255, path), "new");
}

}  // namespace
}  // namespace vok
