#pragma once

#include <chrono>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <QApplication>

#include "app/CDiagnosisDlg.h"
#include "core/UserMessages.h"
#include "link/AcquisitionTexts.h"
#include "pages/CDialogStep1Dlg.h"
#include "pages/CDialogStep2Dlg.h"
#include "pages/CDialogStep3Dlg.h"
#include "pages/CDialogStep4Dlg.h"
#include "pages/CDialogStep5Dlg.h"
#include "pages/PageMessages.h"
#include "pages/PageTemplates.h"
#include "platform/DataFolder.h"
#include "report/ReportFileWriter.h"
#include "support/TempDir.h"
#include "testing/RecordingDesktopShell.h"
#include "testing/ScriptedMessageBoxService.h"
#include "wizard/DialogFonts.h"

namespace vok::test {

// The one QApplication of a GUI test program, made on first use on the
// thread that runs the tests.
inline QApplication& QtApp() {
    static int argc = 1;
    static char name[] = "vok-gui-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* made = new QApplication(argc, argv);
        DialogFonts::InstallSubstitutes();
        return made;
    }();
    return *app;
}

// Waits until `done` holds or the limit has passed, running the GUI thread's
// events unless `events` is false (as a GUI thread busy elsewhere would).
template <typename Predicate>
bool PumpUntil(Predicate done, std::chrono::milliseconds limit = std::chrono::seconds(20),
               bool events = true) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        if (events) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    return true;
}

// A data folder of its own for each test (the examples' CONFIG.ini and
// VOK.DEFINE, an empty REPORT folder), so that report files and pages never
// land in the examples.
struct DataFolderCopy : TempDir {
    DataFolderCopy() {
        std::filesystem::copy(VOK_EXAMPLES_DIR, path(), std::filesystem::copy_options::recursive);
    }
    std::filesystem::path ReportFolder() const { return path() / kReportFolderName; }

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
};

// Answers to the wizard's questions.
inline constexpr bool kYes = true;
inline constexpr bool kNo = false;

// The texts, for comparing with what the user was asked or told.
inline std::vector<std::string> Texts(std::initializer_list<std::string_view> texts) {
    return {texts.begin(), texts.end()};
}

// A report file of a skipped diagnosis, written as the wizard writes it.
inline std::filesystem::path WriteReport(const std::filesystem::path& folder) {
    const Result<WrittenReport> written =
        ReportFileWriter::WriteReportFile(folder, SiteInfo{}, DiagnosisData{}, std::time(nullptr));
    EXPECT_TRUE(written.ok());
    return written->m_strReportPath;
}

inline LinkOptions SimulatedLink(ConsoleScenario scenario = ConsoleScenario::Full, int baud = 0) {
    return {LinkOptions::Kind::Simulated, "", scenario, baud};
}

// The wizard on a data folder of its own, with scripted answers and a
// recording desktop.
class WizardTest : public ::testing::Test {
protected:
    void SetUp() override { QtApp(); }

    void Open(LinkOptions link = SimulatedLink(),
              std::optional<std::string> server = std::nullopt) {
        DiagnosisOptions options;
        options.dataDir = data.path();
        options.link = std::move(link);
        options.server = std::move(server);
        // The built-in console needs no pause before the records are asked for.
        options.startDelay = std::chrono::milliseconds(0);
        dialog = std::make_unique<CDiagnosisDlg>(options, messages, shell);
        dialog->show();
    }

    void Answer(std::initializer_list<bool> answers) {
        for (const bool answer : answers) {
            messages.QueueAnswer(answer);
        }
    }

    unsigned Page() const { return dialog->ActivePageId(); }
    CDialogStep1Dlg& Start() { return *dialog->m_pStep1Dlg; }
    CDialogStep2Dlg& Progress() { return *dialog->m_pStep2Dlg; }
    CDialogStep3Dlg& User() { return *dialog->m_pStep3Dlg; }
    CDialogStep4Dlg& Service() { return *dialog->m_pStep4Dlg; }
    CDialogStep5Dlg& Completion() { return *dialog->m_pStep5Dlg; }

    DataFolderCopy data;
    ScriptedMessageBoxService messages;
    RecordingDesktopShell shell;
    std::unique_ptr<CDiagnosisDlg> dialog;
};

}  // namespace vok::test
