// vok-screenshots: runs one diagnosis on the simulated console through every
// page of the wizard, with the forms filled in as a user would, and renders
// each page, the About box and a message box to PNG files for the
// documentation, on any platform plugin (offscreen in the build). The data
// folder is copied first, so the report file of the run never lands in it.
//
//     vok-screenshots DATA_DIR OUTPUT_DIR [HTML_OUT]
//
// HTML_OUT receives a copy of the run's HTML report, for a browser to render.
#include <filesystem>
#include <iostream>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include "app/CAboutDlg.h"
#include "app/CDiagnosisDlg.h"
#include "core/UserMessages.h"
#include "pages/CDialogReport.h"
#include "pages/CDialogStep1Dlg.h"
#include "pages/CDialogStep2Dlg.h"
#include "pages/CDialogStep3Dlg.h"
#include "pages/CDialogStep4Dlg.h"
#include "pages/CDialogStep5Dlg.h"
#include "pages/PageMessages.h"
#include "pages/PageTemplates.h"
#include "pages/PageTexts.h"
#include "platform/MessageBoxService.h"
#include "platform/QtMessageBoxService.h"
#include "testing/RecordingDesktopShell.h"
#include "testing/ScriptedMessageBoxService.h"
#include "wizard/DialogFonts.h"

namespace {

namespace fs = std::filesystem;

constexpr int kLogPositionShown = 97;
constexpr qint64 kAcquisitionLimitMs = 60000;
constexpr qint64 kActivationLimitMs = 2000;

bool Save(QWidget& widget, const fs::path& file) {
    widget.show();
    // Active, as on a desktop, so the focused button shows its focus mark.
    widget.activateWindow();
    QElapsedTimer waited;
    waited.start();
    while (QApplication::activeWindow() != &widget && waited.elapsed() < kActivationLimitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QApplication::processEvents();
    const bool saved = widget.grab().save(QString::fromStdString(file.string()), "PNG");
    std::cout << file.string() << (saved ? "" : " (not written)") << "\n";
    return saved;
}

template <typename Predicate>
bool PumpUntil(Predicate done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > kAcquisitionLimitMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void Type(QLineEdit* box, const char* text) {
    box->setText(QString::fromUtf8(text));
    box->setCursorPosition(0);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::cerr << "Usage: vok-screenshots DATA_DIR OUTPUT_DIR [HTML_OUT]\n";
        return 2;
    }
    const fs::path out = argv[2];
    fs::create_directories(out);
    QTemporaryDir work;
    std::error_code ec;
    fs::copy(argv[1], work.path().toStdString(), fs::copy_options::recursive, ec);
    if (!work.isValid() || ec) {
        std::cerr << "vok-screenshots: cannot copy " << argv[1] << ": " << ec.message() << "\n";
        return 1;
    }
    vok::DialogFonts::InstallSubstitutes();

    // Every question is answered Yes.
    vok::ScriptedMessageBoxService messages(true);
    vok::RecordingDesktopShell shell;
    vok::DiagnosisOptions options;
    options.dataDir = work.path().toStdString();
    options.link.kind = vok::LinkOptions::Kind::Simulated;
    vok::CDiagnosisDlg dialog(options, messages, shell);

    bool ok = Save(dialog, out / "page-129-start.png");
    dialog.m_pStep1Dlg->m_btnStart.click();
    ok = PumpUntil(
             [&] { return dialog.m_pStep2Dlg->m_ctrlLogProgress.GetPos() >= kLogPositionShown; }) &&
         Save(dialog, out / "page-130-progress.png") && ok;
    // The rest of the log, and Yes to the closing question.
    ok = PumpUntil([&] { return dialog.ActivePageId() == vok::kIdUserPage; }) && ok;

    vok::CDialogStep3Dlg& user = *dialog.m_pStep3Dlg;
    user.m_edtComment->setPlainText(QString::fromUtf8(
        "Error E-21 (rotor) seen twice this week during long exposures in room 2.\n"
        "Please check before the weekend list."));
    ok = Save(dialog, out / "page-131-user.png") && ok;
    user.m_btnNext.click();

    vok::CDialogStep4Dlg& service = *dialog.m_pStep4Dlg;
    Type(service.m_edtService[vok::kHisCauseField], "E-21 rotor error on long exposures");
    Type(service.m_edtService[vok::kHisActionField],
         "Rotor cable connector re-seated, rotor current checked");
    service.m_chkAddHistory.setChecked(true);
    ok = Save(dialog, out / "page-132-service.png") && ok;
    service.m_btnNext.click();

    vok::CDialogStep5Dlg& completion = *dialog.m_pStep5Dlg;
    ok = !completion.m_strReportPath.empty() && Save(dialog, out / "page-133-completion.png") && ok;
    if (argc == 4) {
        vok::CDialogReport report(dialog.Folder(), messages, shell);
        report.m_strReportName = completion.m_strReportName;
        report.m_strReportPath = completion.m_strReportPath;
        const std::optional<std::string> page = report.Show();
        ok = page && fs::copy_file(*page, argv[3], fs::copy_options::overwrite_existing, ec) && ok;
        std::cout << argv[3] << (page && !ec ? "" : " (not written)") << "\n";
    }

    dialog.ShowError(std::string(vok::kMsgCheckCable));
    ok = Save(dialog, out / "page-134-error.png") && ok;

    vok::CAboutDlg about(&dialog);
    ok = Save(about, out / "about.png") && ok;

    const auto question = vok::QtMessageBoxService::MakeBox(
        std::string(vok::kMsgSendQuestion), QMessageBox::Yes | QMessageBox::No, &dialog);
    ok = Save(*question, out / "message-box.png") && ok;
    return ok ? 0 : 1;
}
