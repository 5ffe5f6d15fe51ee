#include "platform/RegularFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "platform/ProfileFile.h"
#include "support/TempDir.h"

namespace vok {
namespace {

// What stands at a file's name, and what a bounded read makes of it. A FIFO
// without a writer and a device would block or never end if opened plainly.
struct SpecialCase {
    const char* name;
    std::string (*make)(const test::TempDir& dir);
    const char* reason;  // "" when the bytes come back
};

std::string Regular(const test::TempDir& dir) {
    return dir.Write("f", "0123456789");
}
std::string Fifo(const test::TempDir& dir) {
    ::mkfifo(dir.File("fifo").c_str(), 0600);
    return dir.File("fifo");
}
std::string Device(const test::TempDir&) {
    return "/dev/zero";
}
std::string Folder(const test::TempDir& dir) {
    std::filesystem::create_directory(dir.File("folder"));
    return dir.File("folder");
}
std::string OverTheCap(const test::TempDir& dir) {
    return dir.Write("big", "0123456789!");
}
std::string Missing(const test::TempDir& dir) {
    return dir.File("missing");
}

class RegularFileTest : public ::testing::TestWithParam<SpecialCase> {};

TEST_P(RegularFileTest, ReadsRegularFilesUpToTheCapAndRefusesAnythingElseAtOnce) {
    const SpecialCase& c = GetParam();
    test::TempDir dir;
    const std::string path = c.make(dir);
    const auto start = std::chrono::steady_clock::now();
    const Result<std::string> bytes = RegularFile::Read(path, 10);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    if (*c.reason == '\0') {
        ASSERT_TRUE(bytes.ok()) << bytes.error();
        EXPECT_EQ(*bytes, "0123456789");
    } else {
        ASSERT_FALSE(bytes.ok());
        EXPECT_EQ(bytes.error(), c.reason);
    }
    // Only a missing file is no error for a file that may be absent.
    const Result<std::optional<std::string>> present = RegularFile::ReadIfPresent(path, 10);
    EXPECT_EQ(present.ok(), bytes.ok() || std::string_view(c.name) == "missing");
    // The profile reader reads through the same door, with the 64 MiB cap.
    const bool readable = bytes.ok() || std::string_view(c.name) == "over_the_cap";
    EXPECT_EQ(ProfileFile::Open(path).ok(), readable);
    EXPECT_EQ(ProfileFile::OpenIfPresent(path).ok(),
              readable || std::string_view(c.name) == "missing");
}

INSTANTIATE_TEST_SUITE_P(
    Files, RegularFileTest,
    ::testing::Values(SpecialCase{"regular", Regular, ""},
                      SpecialCase{"fifo", Fifo, "not a regular file"},
                      SpecialCase{"device", Device, "not a regular file"},
                      SpecialCase{"folder", Folder, "Is a directory"},
                      SpecialCase{"over_the_cap", OverTheCap, "larger than 10 bytes"},
                      SpecialCase{"missing", Missing, "No such file or directory"}),
    [](const ::testing::TestParamInfo<SpecialCase>& tested) { return tested.param.name; });

}  // namespace
}  // namespace vok
