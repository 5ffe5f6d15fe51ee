#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "QtTestApp.h"
#include "app/CDiagnosisDlg.h"
#include "core/Constants.h"
#include "platform/RecordingDesktopShell.h"
#include "platform/ScriptedMessageBoxService.h"
#include "support/TempDir.h"

namespace vok::test {

// A data folder of its own for each test (the examples' CONFIG.ini and
// VOK.DEFINE, an empty REPORT folder), so that report files and pages never
// land in the examples.
class DataFolderCopy {
public:
    DataFolderCopy() {
        namespace fs = std::filesystem;
        fs::copy(fs::path(VOK_EXAMPLES_DIR), m_dir.path(), fs::copy_options::recursive);
    }
    const std::filesystem::path& Root() const { return m_dir.path(); }
    std::filesystem::path ReportFolder() const { return m_dir.path() / kReportFolderName; }

    // The files in the REPORT folder whose names end with `extension`.
    std::vector<std::filesystem::path> Files(const std::string& extension) const {
        std::vector<std::filesystem::path> found;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(ReportFolder(), ec)) {
            if (entry.path().extension() == extension) {
                found.push_back(entry.path());
            }
        }
        return found;
    }

private:
    TempDir m_dir;
};

inline LinkOptions SimulatedLink(ConsoleScenario scenario = ConsoleScenario::Full, int baud = 0) {
    LinkOptions link;
    link.kind = LinkOptions::Kind::Simulated;
    link.scenario = scenario;
    link.simulatedBaud = baud;
    return link;
}

// The wizard on a data folder of its own, with scripted answers and a
// recording desktop.
class WizardTest : public ::testing::Test {
protected:
    void SetUp() override { QtApp(); }

    void Open(LinkOptions link = SimulatedLink(),
              std::optional<std::string> server = std::nullopt) {
        DiagnosisOptions options;
        options.dataDir = data.Root();
        options.link = std::move(link);
        options.server = std::move(server);
        dialog = std::make_unique<CDiagnosisDlg>(options, messages, shell);
        dialog->show();
    }

    void Answer(std::initializer_list<int> answers) {
        for (const int answer : answers) {
            messages.QueueAnswer(answer);
        }
    }

    unsigned Page() const { return dialog->ActivePageId(); }

    DataFolderCopy data;
    ScriptedMessageBoxService messages;
    RecordingDesktopShell shell;
    std::unique_ptr<CDiagnosisDlg> dialog;
};

}  // namespace vok::test
