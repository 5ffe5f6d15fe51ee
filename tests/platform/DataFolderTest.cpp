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

TEST(DataFolderTest, CreatesTheReportFolderOrSaysWhyNot) {
    test::TempDir dir;
    const DataFolder folder(dir.path() / "new" / "data");
    EXPECT_TRUE(folder.EnsureReportFolder().ok());
    EXPECT_TRUE(std::filesystem::is_directory(folder.ReportFolder()));
    EXPECT_TRUE(folder.EnsureReportFolder().ok());

    // A file stands where the folder should go.
    const DataFolder blocked(dir.Write("plain", "x"));
    EXPECT_NE(blocked.EnsureReportFolder().error().find("report folder"), std::string::npos);
}

}  // namespace
}  // namespace vok
