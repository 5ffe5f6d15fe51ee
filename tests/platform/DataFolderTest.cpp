#include "platform/DataFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/TempDir.h"

namespace vok {
namespace {

TEST(DataFolderTest, NamesItsFilesUnderTheRootWhichIsUnderHomeByDefault) {
    const DataFolder folder("/data");
    EXPECT_EQ(folder.ConfigFile(), "/data/CONFIG.ini");
    EXPECT_EQ(folder.DefineFile(), "/data/CFG/VOK.DEFINE");
    EXPECT_EQ(folder.ReportFolder(), "/data/REPORT");
    EXPECT_EQ(folder.ErrorSoundFile(), "/data/ERROR.dll");
    ::setenv("HOME", "/home/kim", 1);
    EXPECT_EQ(DataFolder::Default().Root(), "/home/kim/VOK/DIAGNOSIS");
}

// The report folder is made inside the data folder; a data folder that is
// not there is a mistyped --data-dir and is never made.
TEST(DataFolderTest, CreatesTheReportFolderInsideAnExistingDataFolderOnly) {
    test::TempDir dir;
    const DataFolder folder(dir.path());
    EXPECT_TRUE(folder.EnsureReportFolder().ok());
    EXPECT_TRUE(std::filesystem::is_directory(folder.ReportFolder()));
    EXPECT_TRUE(folder.EnsureReportFolder().ok());

    const DataFolder typo(dir.path() / "deep" / "typo");
    EXPECT_EQ(typo.EnsureReportFolder().error(),
              "The data folder " + typo.Root().string() + " does not exist");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "deep"));

    // A file stands where a folder should go.
    const DataFolder plain(dir.Write("plain", "x"));
    EXPECT_NE(plain.EnsureReportFolder().error().find("is not a folder"), std::string::npos);
    dir.Write("blocked/REPORT", "x");
    const DataFolder blocked(dir.path() / "blocked");
    EXPECT_NE(blocked.EnsureReportFolder().error().find("report folder"), std::string::npos);
}

}  // namespace
}  // namespace vok
