#include "platform/RegularFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/ProfileFile.h"
#include "support/TempDir.h"

namespace vok {
namespace {

// What stands at a file's name, and what a bounded read makes of it: a FIFO
// without a writer or a device would block or never end if opened plainly.
// Only a missing file is no error for a file that may be absent; the profile
// reader reads through the same door, with its 64 MiB cap.
TEST(RegularFileTest, ReadsRegularFilesUpToTheCapAndRefusesAnythingElseAtOnce) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.File("folder"));
    const std::string missing = "No such file or directory", overCap = "larger than 10 bytes";
    for (const auto& [path, reason] : std::vector<std::pair<std::string, std::string>>{
             {dir.Write("f", "0123456789"), ""},
             {dir.File("fifo"), "not a regular file"},
             {"/dev/zero", "not a regular file"},
             {dir.File("folder"), "Is a directory"},
             {dir.Write("big", "0123456789!"), overCap},
             {dir.File("missing"), missing}}) {
        const Result<std::string> bytes = RegularFile::Read(path, 10);
        EXPECT_EQ(bytes.ok() ? *bytes : bytes.error(), reason.empty() ? "0123456789" : reason);
        EXPECT_EQ(RegularFile::ReadIfPresent(path, 10).ok(), bytes.ok() || reason == missing);
        EXPECT_EQ(ProfileFile::Open(path).ok(), bytes.ok() || reason == overCap) << path;
        EXPECT_EQ(ProfileFile::OpenIfPresent(path).ok(),
                  bytes.ok() || reason == overCap || reason == missing)
            << path;
    }
}

}  // namespace
}  // namespace vok
