#include "platform/ProfileFile.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace vok {
namespace {

std::string Get(const std::string& text, std::string_view section, std::string_view key,
                std::string_view def = "<default>", std::size_t size = 255) {
    return ProfileFile::Parse(text).Get(section, key, def, size);
}

TEST(ProfileFileTest, CaseIgnoredSectionsKeptApartFirstMatchWins) {
    const std::string text =
        "[Service]\r\nName=Kim\r\nname=2\r\n[user]\r\nEMAIL=x@y\r\n"
        "[B]\r\nName=3\r\n[SERVICE]\r\nName=4\r\nL=5\r\n";
    EXPECT_EQ(Get(text, "SERVICE", "NAME"), "Kim");
    EXPECT_EQ(Get(text, "service", "name"), "Kim");
    EXPECT_EQ(Get(text, "USER", "NAME"), "<default>");
    EXPECT_EQ(Get(text, "SERVICE", "L"), "<default>");
    EXPECT_EQ(Get(text, "B", "NAME"), "3");
    EXPECT_EQ(Get("[unterminated\nK=1\n", "unterminated", "K"), "1");
    EXPECT_EQ(Get("[]\n=1\n", "", ""), "1");
}

TEST(ProfileFileTest, ValueIsAfterFirstEqualsTrimmedAndUnquotedOnce) {
    EXPECT_EQ(Get("[S]\nK = a=b \n", "S", "K"), "a=b");
    EXPECT_EQ(Get("[S]\n  K\t=\t value with  inner  blanks \t\n", "S", "K"),
              "value with  inner  blanks");
    EXPECT_EQ(Get("[S]\nK=\"quoted\"\n", "S", "K"), "quoted");
    EXPECT_EQ(Get("[S]\nK='single'\n", "S", "K"), "single");
    EXPECT_EQ(Get("[S]\nK=\"\"twice\"\"\n", "S", "K"), "\"twice\"");
    EXPECT_EQ(Get("[S]\nK=\"mixed'\n", "S", "K"), "\"mixed'");
    EXPECT_EQ(Get("[S]\nK=\"\n", "S", "K"), "\"");
    EXPECT_EQ(Get("[S]\nK=\n", "S", "K"), "");
    // A NUL ends a value like the end of a C string.
    EXPECT_EQ(Get(std::string("[S]\nK=ab\0cd\n", 12), "S", "K"), "ab");
}

TEST(ProfileFileTest, DefaultForMissingFileSectionOrKey) {
    EXPECT_EQ(ProfileFile::Read("S", "K", "255", 80, "/nonexistent/file.ini"), "255");
    EXPECT_EQ(Get("[S]\nK=1\n", "T", "K", "0"), "0");
    EXPECT_EQ(Get("[S]\nK=1\n", "S", "J", ""), "");
    // Keys before any section belong to none.
    EXPECT_EQ(Get("K=1\n[S]\n", "S", "K", "d"), "d");
    // CR LF, LF and no final line end.
    EXPECT_EQ(Get("[S]\r\nA=1\r\nB=2", "S", "B"), "2");
    EXPECT_EQ(Get("[S]\nA=1\r\n\r\nB=2\n", "S", "A"), "1");
}

TEST(ProfileFileTest, CutsToBufferSizeMinusOneEvenOnA10MBLine) {
    const std::string huge(10 * 1024 * 1024, 'z');
    EXPECT_EQ(Get("[S]\nK=" + huge + "\n", "S", "K", "", 255), std::string(254, 'z'));
    // The default is cut the same way.
    EXPECT_EQ(Get("", "S", "K", huge, 80), std::string(79, 'z'));
    EXPECT_EQ(Get(huge, "S", "K", "d"), "d");
}

TEST(ProfileFileTest, EachReadSeesTheFileAsItIsNow) {
    test::TempDir dir;
    const std::string path = dir.Write("a.ini", "[S]\nK=old\n");
    EXPECT_EQ(ProfileFile::Read("S", "K", "", 255, path), "old");
    dir.Write("a.ini", "[S]\nK=new\n");
    EXPECT_EQ(ProfileFile::Read("S", "K", "", 255, path), "new");
}

}  // namespace
}  // namespace vok
