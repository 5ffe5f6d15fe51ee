// vok-screenshots: renders the wizard's pages and the About box to PNG files
// for the documentation, on any platform plugin (offscreen in the build).
//
//     vok-screenshots DATA_DIR OUTPUT_DIR
#include <filesystem>
#include <iostream>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/CAboutDlg.h"
#include "app/CDiagnosisDlg.h"
#include "core/Constants.h"
#include "pages/CDialogStep1Dlg.h"
#include "pages/CDialogStep2Dlg.h"
#include "pages/CDialogStep3Dlg.h"
#include "pages/CDialogStep4Dlg.h"
#include "pages/PageTexts.h"
#include "platform/RecordingDesktopShell.h"
#include "platform/ScriptedMessageBoxService.h"
#include "report/SiteConfig.h"
#include "wizard/DialogFonts.h"

namespace {

constexpr int kLogPositionShown = 97;
constexpr qint64 kAcquisitionLimitMs = 30000;

bool Save(QWidget& widget, const std::filesystem::path& file) {
    widget.show();
    QApplication::processEvents();
    const bool saved = widget.grab().save(QString::fromStdString(file.string()), "PNG");
    std::cout << file.string() << (saved ? "" : " (not written)") << "\n";
    return saved;
}

// Runs a diagnosis on the simulated console until the log is well under way.
bool RunIntoTheLog(vok::CDiagnosisDlg& dialog, vok::ScriptedMessageBoxService& messages) {
    messages.QueueAnswer(vok::kAnswerYes);
    dialog.m_pStep1Dlg->m_btnStart.click();
    QElapsedTimer timer;
    timer.start();
    while (dialog.m_pStep2Dlg->m_ctrlLogProgress.GetPos() < kLogPositionShown) {
        if (timer.elapsed() > kAcquisitionLimitMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// The service form as the site configuration fills it.
void FillService(vok::CDialogStep4Dlg& page, const std::string& config) {
    const vok::SiteInfo form = vok::SiteConfig::LoadSiteInfo(config);
    for (std::size_t i = 0; i < page.m_edtService.size(); ++i) {
        page.m_edtService[i]->setText(vok::PageTexts::Show(form.Field(i)));
        page.m_edtService[i]->setCursorPosition(0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::cerr << "Usage: vok-screenshots DATA_DIR OUTPUT_DIR\n";
        return 2;
    }
    const std::filesystem::path out = argv[2];
    std::filesystem::create_directories(out);
    vok::DialogFonts::InstallSubstitutes();

    vok::ScriptedMessageBoxService messages;
    vok::RecordingDesktopShell shell;
    vok::DiagnosisOptions options;
    options.dataDir = argv[1];
    options.link.kind = vok::LinkOptions::Kind::Simulated;
    vok::CDiagnosisDlg dialog(options, messages, shell);

    bool ok = Save(dialog, out / "page-129-start.png");
    ok = RunIntoTheLog(dialog, messages) && Save(dialog, out / "page-130-progress.png") && ok;
    dialog.SkipAcquisition();
    dialog.m_pStep3Dlg->LoadUserInfo();
    dialog.m_pStep3Dlg->m_edtComment->setPlainText(
        QStringLiteral("Error E-21 seen twice this week during long exposures."));
    dialog.SetActivePage(vok::kIdUserPage);
    ok = Save(dialog, out / "page-131-user.png") && ok;
    FillService(*dialog.m_pStep4Dlg, dialog.Folder().ConfigFile().string());
    dialog.SetActivePage(vok::kIdServicePage);
    ok = Save(dialog, out / "page-132-service.png") && ok;
    dialog.SetActivePage(vok::kIdCompletionPage);
    ok = Save(dialog, out / "page-133-completion.png") && ok;
    dialog.ShowError(std::string(vok::kMsgCheckCable));
    ok = Save(dialog, out / "page-134-error.png") && ok;

    vok::CAboutDlg about(&dialog);
    ok = Save(about, out / "about.png") && ok;
    return ok ? 0 : 1;
}
