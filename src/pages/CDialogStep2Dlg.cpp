#include "pages/CDialogStep2Dlg.h"

#include "pages/PageMessages.h"
#include "pages/PageTemplates.h"
#include "pages/PageTexts.h"
#include "platform/MessageBoxService.h"
#include "resources/Icons.h"
#include "wizard/DialogControls.h"
#include "wizard/DialogUnits.h"

namespace vok {

namespace {

constexpr int kIdcSystemBar = 1007;
constexpr int kIdcLogBar = 1008;
constexpr int kIdcSkip = 1010;
constexpr DlgRect kStatusPanelRect{7, 7, 286, 150};
constexpr DlgRect kSystemBarRect{7, 167, 286, 14};
constexpr DlgRect kLogBarRect{7, 187, 286, 14};
constexpr std::string_view kSkipText = "Skip";
constexpr std::string_view kProgressIntro =
    "  Extracting System Infomation form VOK X-Ray generator.\n\n";
constexpr std::string_view kStatusLineFormat = "%s\n  %s";

// Progress bars of the progress page.
constexpr std::string_view kSystemBarText = "Diagnosis Processing ... ";
constexpr std::string_view kLogBarText = "Backup Log Infomation ... ";
constexpr int kBarBackground[3] = {150, 150, 150};
constexpr int kBarLower = 1;
constexpr int kSystemBarUpper = 213;
constexpr int kLogBarUpper = 226;

QColor BarBackground() {
    return {kBarBackground[0], kBarBackground[1], kBarBackground[2]};
}

}  // namespace

CDialogStep2Dlg::CDialogStep2Dlg(MessageBoxService& messages, DesktopShell& shell, QWidget* parent)
    : CWizardPage(kIdProgressPage, parent),
      m_btnHomepage(PageTexts::Show(kHomepageText)),
      m_btnSkip(PageTexts::Show(kSkipText)),
      m_btnNext(PageTexts::Show(kNextText)),
      m_btnExit(PageTexts::Show(kExitText)),
      m_messages(messages),
      m_shell(shell) {
    DialogControls::Place(&m_ctrlStatus, this, kIdcPanel, kStatusPanelRect, Units());
    DialogControls::Place(&m_ctrlSystemProgress, this, kIdcSystemBar, kSystemBarRect, Units());
    DialogControls::Place(&m_ctrlLogProgress, this, kIdcLogBar, kLogBarRect, Units());
    DialogControls::Place(&m_btnHomepage, this, kIdcHomepage, kButton1Rect, Units());
    DialogControls::Place(&m_btnSkip, this, kIdcSkip, kButton2Rect, Units());
    DialogControls::Place(&m_btnNext, this, kIdcNext, kButton3Rect, Units());
    DialogControls::Place(&m_btnExit, this, kIdcExit, kButton4Rect, Units());
    connect(&m_btnHomepage, &QPushButton::clicked, this, &CDialogStep2Dlg::OnHomepage);
    connect(&m_btnSkip, &QPushButton::clicked, this, &CDialogStep2Dlg::OnSkip);
    connect(&m_btnNext, &QPushButton::clicked, this, &CDialogStep2Dlg::NextRequested);
    connect(&m_btnExit, &QPushButton::clicked, this, &CDialogStep2Dlg::OnExit);
}

std::string CDialogStep2Dlg::InitialStatusText() {
    return PageTexts::Header() + std::string(kProgressIntro);
}

bool CDialogStep2Dlg::OnInitDialog() {
    CWizardPage::OnInitDialog();

    m_ctrlSystemProgress.setText(PageTexts::Show(kSystemBarText));
    m_ctrlLogProgress.setText(PageTexts::Show(kLogBarText));
    m_ctrlSystemProgress.SetBkColor(BarBackground());
    m_ctrlLogProgress.SetBkColor(BarBackground());
    m_ctrlSystemProgress.SetTextBkColor(QColor(255, 255, 255));
    m_ctrlLogProgress.SetTextBkColor(QColor(255, 255, 255));

    m_ctrlStatus.SetMessageBoxService(&m_messages);
    PageTexts::StylePanel(m_ctrlStatus);
    m_ctrlStatus.setText(PageTexts::Show(InitialStatusText()));

    m_btnHomepage.SetIcon(kIconHomepage);
    m_btnSkip.SetIcon(kIconSkip);
    m_btnNext.SetIcon(kIconNext);
    m_btnExit.SetIcon(kIconExit);
    m_ctrlSystemProgress.SetRange32(kBarLower, kSystemBarUpper);
    m_ctrlSystemProgress.SetPos(kBarLower);
    m_ctrlLogProgress.SetRange32(kBarLower, kLogBarUpper);
    m_ctrlLogProgress.SetPos(kBarLower);
    return true;
}

void CDialogStep2Dlg::AddStatusLine(const std::string& line) {
    const std::string current = PageTexts::Bytes(m_ctrlStatus.text());
    m_ctrlStatus.setText(PageTexts::Show(PageTexts::Format(kStatusLineFormat, {current, line})));
    // Seen at once, while the acquisition goes on.
    if (m_ctrlStatus.isVisible()) {
        m_ctrlStatus.repaint();
    }
}

void CDialogStep2Dlg::SetSystemProgress(int position) {
    m_ctrlSystemProgress.SetPos(position);
}

void CDialogStep2Dlg::SetLogProgress(int position) {
    m_ctrlLogProgress.SetPos(position);
}

void CDialogStep2Dlg::OnHomepage() {
    m_shell.OpenUrl(std::string(kHomepageUrl));
}

void CDialogStep2Dlg::OnSkip() {
    if (m_messages.Ask(std::string(kMsgSkipNotCompleted))) {
        emit SkipRequested();
    }
}

void CDialogStep2Dlg::OnExit() {
    if (m_messages.Ask(std::string(kMsgExitNotCompleted))) {
        emit ExitRequested();
    }
}

}  // namespace vok
