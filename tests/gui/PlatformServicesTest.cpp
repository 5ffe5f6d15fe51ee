#include <vector>

#include <gtest/gtest.h>

#include "QtTestApp.h"
#include "app/DiagnosisOptions.h"
#include "platform/QtDesktopShell.h"

namespace vok {
namespace {

class PlatformServicesTest : public ::testing::Test {
protected:
    void SetUp() override { test::QtApp(); }
};

TEST_F(PlatformServicesTest, FileDialogFilterBecomesQtNameFilters) {
    EXPECT_EQ(QtDesktopShell::NameFilters("VOK Diagnosis File(*.VOK)|*.VOK|"),
              QStringList{"VOK Diagnosis File(*.VOK)"});
}

// The link options are the vok tool's; the wizard's own are checked here.
TEST_F(PlatformServicesTest, CommandLineTakesTheWizardsOptionsAndLeavesQtsToQt) {
    const Result<DiagnosisOptions> options =
        DiagnosisOptions::Parse({"--simulate=stall", "--data-dir", "/tmp/vok"});
    ASSERT_TRUE(options.ok()) << options.error();
    EXPECT_EQ(options->link.scenario, ConsoleScenario::Stall);
    EXPECT_EQ(options->dataDir, "/tmp/vok");
    EXPECT_FALSE(DiagnosisOptions::Parse({"stray"}).ok());
    // A wrong server is refused at start, not at Send.
    const Result<DiagnosisOptions> url = DiagnosisOptions::Parse({"--server", "http://x/y"});
    ASSERT_FALSE(url.ok());
    EXPECT_EQ(url.error().rfind("option --server http://x/y: ", 0), 0u);
    const Result<DiagnosisOptions> ca =
        DiagnosisOptions::Parse({"--server", "https://x", "--ca-file", "/nonexistent.pem"});
    ASSERT_FALSE(ca.ok());
    EXPECT_EQ(ca.error().rfind("option --ca-file /nonexistent.pem: ", 0), 0u);

    std::vector<std::string> argv = {"vok-diagnosis", "-platform",  "offscreen", "--simulate",
                                     "-reverse",      "--data-dir", "/tmp/x"};
    std::vector<char*> raw;
    for (std::string& arg : argv) {
        raw.push_back(arg.data());
    }
    EXPECT_EQ(DiagnosisOptions::OwnArguments(static_cast<int>(raw.size()), raw.data()),
              (std::vector<std::string>{"--simulate", "--data-dir", "/tmp/x"}));
}

}  // namespace
}  // namespace vok
