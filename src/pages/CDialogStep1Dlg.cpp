#include "pages/CDialogStep1Dlg.h"

#include "pages/PageMessages.h"
#include "pages/PageTemplates.h"
#include "pages/PageTexts.h"
#include "platform/MessageBoxService.h"
#include "resources/Icons.h"
#include "wizard/DialogControls.h"

namespace vok {

namespace {

constexpr int kIdcLoad = 1003;
constexpr int kIdcStart = 1004;
constexpr std::string_view kLoadText = "Load";
constexpr std::string_view kStartText = "Start";
constexpr std::string_view kIntroPieces[] = {
    "  VOK Remote Diagnosis Software produces 'Remote Diagnosis Report'\n",
    "  by extract 'System Infomation' from VOK X-Ray generator, \n",
    "  'User Infomation' and comments by operator and 'Service Infomation'\n",
    "  by service engineer.\n\n",
    "  To complete the remote diagnosis procedure,\n",
    "  Check the below steps and click the 'START' Button.\n",
};

}  // namespace

CDialogStep1Dlg::CDialogStep1Dlg(MessageBoxService& messages, DesktopShell& shell, QWidget* parent)
    : CWizardPage(kIdStartPage, parent),
      m_btnHomepage(PageTexts::Show(kHomepageText)),
      m_btnLoad(PageTexts::Show(kLoadText)),
      m_btnStart(PageTexts::Show(kStartText)),
      m_btnExit(PageTexts::Show(kExitText)),
      m_messages(messages),
      m_shell(shell) {
    // Created in tab order.
    DialogControls::Place(&m_ctrlIntro, this, kIdcPanel, kPanelRect, Units());
    DialogControls::Place(&m_btnHomepage, this, kIdcHomepage, kButton1Rect, Units());
    DialogControls::Place(&m_btnLoad, this, kIdcLoad, kButton2Rect, Units());
    DialogControls::Place(&m_btnStart, this, kIdcStart, kButton3Rect, Units());
    DialogControls::Place(&m_btnExit, this, kIdcExit, kButton4Rect, Units());
    connect(&m_btnHomepage, &QPushButton::clicked, this, &CDialogStep1Dlg::OnHomepage);
    connect(&m_btnLoad, &QPushButton::clicked, this, &CDialogStep1Dlg::LoadRequested);
    connect(&m_btnStart, &QPushButton::clicked, this, &CDialogStep1Dlg::StartRequested);
    connect(&m_btnExit, &QPushButton::clicked, this, &CDialogStep1Dlg::OnExit);
}

std::string CDialogStep1Dlg::IntroText() {
    std::string text = PageTexts::Header();
    for (const std::string_view piece : kIntroPieces) {
        text += piece;
    }
    return text;
}

bool CDialogStep1Dlg::OnInitDialog() {
    CWizardPage::OnInitDialog();
    m_ctrlIntro.SetMessageBoxService(&m_messages);
    PageTexts::StylePanel(m_ctrlIntro);
    m_ctrlIntro.setText(PageTexts::Show(IntroText()));
    m_btnHomepage.SetIcon(kIconHomepage);
    m_btnLoad.SetIcon(kIconLoad);
    m_btnStart.SetIcon(kIconStart);
    m_btnExit.SetIcon(kIconExit);
    return true;
}

void CDialogStep1Dlg::OnHomepage() {
    m_shell.OpenUrl(std::string(kHomepageUrl));
}

void CDialogStep1Dlg::OnExit() {
    if (m_messages.Ask(std::string(kMsgExitNotCompleted))) {
        emit ExitRequested();
    }
}

}  // namespace vok
