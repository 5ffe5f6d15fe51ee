#include "app/CDiagnosisDlg.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>

#include "app/CAboutDlg.h"
#include "core/Constants.h"
#include "pages/CDialogError.h"
#include "pages/CDialogStep1Dlg.h"
#include "pages/CDialogStep2Dlg.h"
#include "pages/CDialogStep3Dlg.h"
#include "pages/CDialogStep4Dlg.h"
#include "pages/CDialogStep5Dlg.h"
#include "pages/PageTexts.h"
#include "resources/Icons.h"
#include "wizard/DialogControls.h"
#include "wizard/DialogFonts.h"

namespace vok {

CDiagnosisDlg::CDiagnosisDlg(DiagnosisOptions options, MessageBoxService& messages,
                             DesktopShell& shell, QWidget* parent)
    : CWizardDialog(kIdcPlaceholder, kIdMainDialog, parent),
      m_options(std::move(options)),
      m_folder(m_options.dataDir),
      m_messages(messages),
      m_shell(shell) {
    setFont(DialogFonts::DialogFont());
    const DialogUnits units(font());
    setWindowTitle(PageTexts::Show(kMainDialogTemplateCaption));
    setFixedSize(units.Size(kMainDialogWidth, kMainDialogHeight));

    m_placeholder.setFrameStyle(QFrame::Box | QFrame::Plain);
    m_placeholder.setEnabled(false);
    DialogControls::Place(&m_placeholder, this, kIdcPlaceholder, kPlaceholderRect, units);
    m_placeholder.setVisible(false);

    m_footer.setText(PageTexts::Show(kFooterText));
    m_footer.setTextFormat(Qt::PlainText);
    m_footer.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    DialogControls::Place(&m_footer, this, kIdcStatic, kFooterRect, units);

    OnInitDialog();
}

CDiagnosisDlg::~CDiagnosisDlg() {
    Shutdown();
    // The pages go while the state they use still exists.
    DestroyPages();
}

void CDiagnosisDlg::OnInitDialog() {
    // No system menu to append to on Linux desktops: the About entry sits in
    // the dialog's context menu, and F1 opens it as well.
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    addAction(separator);
    auto* about = new QAction(PageTexts::Show(kAboutMenuText), this);
    about->setShortcut(QKeySequence::HelpContents);
    about->setShortcutContext(Qt::WindowShortcut);
    connect(about, &QAction::triggered, this, &CDiagnosisDlg::ShowAbout);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    setWindowIcon(Icons::WindowIcon(kIconApplication));
    setWindowTitle(PageTexts::Show(PageTexts::Format(kMainCaptionFormat, {kProgramVersion})));

    for (const int id : {kIdStartPage, kIdProgressPage, kIdUserPage, kIdServicePage,
                         kIdCompletionPage, kIdErrorPage}) {
        AddPage(static_cast<unsigned>(id));
    }
    SetActivePage(kIdStartPage);
}

CWizardPage* CDiagnosisDlg::CreatePage(unsigned id) {
    switch (static_cast<int>(id)) {
        case kIdStartPage:
            return new CDialogStep1Dlg(*this);
        case kIdProgressPage:
            return new CDialogStep2Dlg(*this);
        case kIdUserPage:
            return new CDialogStep3Dlg(*this);
        case kIdServicePage:
            return new CDialogStep4Dlg(*this);
        case kIdCompletionPage:
            return new CDialogStep5Dlg(*this);
        case kIdErrorPage:
            return new CDialogError(*this);
        default:
            return nullptr;
    }
}

void CDiagnosisDlg::OnPageChanged(unsigned /*id*/, bool /*shown*/) {}

int CDiagnosisDlg::StartDiagnosis() {
    // This build has no generator link yet: no device can be opened.
    ShowError(std::string(kMsgCheckCable));
    return 1;
}

void CDiagnosisDlg::SkipAcquisition() {}

void CDiagnosisDlg::ShowError(const std::string& text) {
    m_shell.PlayErrorSound(m_folder.ErrorSoundFile());
    m_pErrorDlg->SetErrorCode(text);
    SetActivePage(kIdErrorPage);
}

void CDiagnosisDlg::ShowAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CDiagnosisDlg::Shutdown() {}

void CDiagnosisDlg::closeEvent(QCloseEvent* event) {
    Shutdown();
    QDialog::closeEvent(event);
}

void CDiagnosisDlg::keyPressEvent(QKeyEvent* event) {
    // Escape would end the dialog behind the close handler's back; Enter
    // reaches a focused button through the button itself.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CDiagnosisDlg::done(int result) {
    // Every way out of the dialog stops the acquisition first.
    Shutdown();
    QDialog::done(result);
}

}  // namespace vok
