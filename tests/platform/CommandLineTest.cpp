#include "platform/CommandLine.h"

#include <gtest/gtest.h>

namespace vok {
namespace {

const std::vector<OptionSpec> kSpecs = {
    {"data-dir", OptionKind::Value},
    {"simulate", OptionKind::OptionalValue},
    {"open", OptionKind::Flag},
};

TEST(CommandLineTest, ParsesEachKindOfOptionUpToADoubleDash) {
    const auto line = CommandLine::Parse(
        {"a.VOK", "--data-dir", "/d", "--simulate", "--open", "b.VOK", "--", "--open"}, kSpecs);
    ASSERT_TRUE(line.ok()) << line.error();
    EXPECT_EQ(line->Value("data-dir"), "/d");
    EXPECT_EQ(line->Value("simulate"), "");
    EXPECT_TRUE(line->Has("open"));
    EXPECT_EQ(line->Positional(), (std::vector<std::string>{"a.VOK", "b.VOK", "--open"}));

    const auto withEquals = CommandLine::Parse({"--simulate=stall", "--data-dir=/x"}, kSpecs);
    EXPECT_EQ(withEquals->Value("simulate"), "stall");
    EXPECT_EQ(withEquals->Value("data-dir"), "/x");
    EXPECT_FALSE(withEquals->Value("open").has_value());
}

TEST(CommandLineTest, RejectsUnknownOptionsAndMissingValues) {
    EXPECT_EQ(CommandLine::Parse({"--bogus"}, kSpecs).error(), "unknown option --bogus");
    EXPECT_EQ(CommandLine::Parse({"--data-dir"}, kSpecs).error(),
              "option --data-dir needs a value");
    EXPECT_EQ(CommandLine::Parse({"--open=1"}, kSpecs).error(), "option --open takes no value");
}

}  // namespace
}  // namespace vok
