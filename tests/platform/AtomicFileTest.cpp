#include "platform/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

namespace vok {
namespace {

namespace fs = std::filesystem;

std::size_t EntryCount(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// A new file gets the usual mode. An old one is never truncated or written
// into: whoever still holds it (here a second name) keeps it whole. A link at
// the name, to a file or to nothing, is replaced, never written through. Nothing
// is left beside the names.
TEST(AtomicFileTest, WritesANewFileUnderTheNameNeverIntoTheOldOneOrThroughALink) {
    test::TempDir dir;
    const mode_t mask = ::umask(022);
    const std::string path = dir.File("page.html");
    ASSERT_TRUE(AtomicFile::Write(path, std::string("x\0y", 3)).ok());
    ::umask(mask);
    EXPECT_EQ(test::ReadAll(path), std::string("x\0y", 3));
    EXPECT_EQ(fs::status(path).permissions(), static_cast<fs::perms>(0644));

    fs::create_hard_link(path, dir.File("reader"));
    const std::string outside = dir.Write("outside/secret", "keep");
    fs::create_symlink(outside, dir.File("existing"));
    fs::create_symlink(dir.File("outside/new"), dir.File("dangling"));
    for (const char* name : {"page.html", "existing", "dangling"}) {
        ASSERT_TRUE(AtomicFile::Write(dir.File(name), "new").ok()) << name;
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir.File(name)))) << name;
        EXPECT_EQ(test::ReadAll(dir.File(name)), "new") << name;
    }
    EXPECT_EQ(test::ReadAll(dir.File("reader")), std::string("x\0y", 3));
    EXPECT_EQ(test::ReadAll(outside), "keep");
    EXPECT_FALSE(fs::exists(dir.File("outside/new")));
    EXPECT_EQ(EntryCount(dir.path()), 5u);
}

// Each failure says the failing call's own reason and leaves the folder as
// it was: the old file whole, no temporary file.
TEST(AtomicFileTest, FailuresGiveTheirOwnReasonAndLeaveTheOldFile) {
    test::TempDir dir;
    fs::create_directories(dir.File("REPORT/name.VOK"));
    EXPECT_EQ(AtomicFile::Write(dir.File("REPORT/name.VOK"), "x").error(), "Is a directory");
    EXPECT_EQ(EntryCount(dir.File("REPORT")), 1u);

    EXPECT_EQ(AtomicFile::Write(dir.File("missing/name.VOK"), "x").error(),
              "No such file or directory");

    const std::string page = dir.Write("page/page.html", "old page");
    {
        const test::FileSizeLimit full(4096);
        EXPECT_EQ(AtomicFile::Write(page, std::string(64 * 1024, 'n')).error(), "File too large");
    }
    EXPECT_EQ(test::ReadAll(page), "old page");
    EXPECT_EQ(EntryCount(dir.File("page")), 1u);
}

}  // namespace
}  // namespace vok
