#include "pages/CDialogStep1Dlg.h"

#include "app/CDiagnosisDlg.h"
#include "pages/CDialogReport.h"
#include "pages/CDialogStep5Dlg.h"
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

// Load on the start page: the open-file dialog's filter and default extension.
constexpr std::string_view kReportFileFilter = "VOK Diagnosis File(*.VOK)|*.VOK|";
constexpr std::string_view kReportFileExtension = "VOK";

}  // namespace

CDialogStep1Dlg::CDialogStep1Dlg(CDiagnosisDlg& owner)
    : CWizardPage(kIdStartPage, &owner),
      m_btnHomepage(PageTexts::Show(kHomepageText)),
      m_btnLoad(PageTexts::Show(kLoadText)),
      m_btnStart(PageTexts::Show(kStartText)),
      m_btnExit(PageTexts::Show(kExitText)),
      m_owner(owner) {
    // Created in tab order.
    DialogControls::Place(&m_ctrlIntro, this, kIdcPanel, kPanelRect, Units());
    DialogControls::Place(&m_btnHomepage, this, kIdcHomepage, kButton1Rect, Units());
    DialogControls::Place(&m_btnLoad, this, kIdcLoad, kButton2Rect, Units());
    DialogControls::Place(&m_btnStart, this, kIdcStart, kButton3Rect, Units());
    DialogControls::Place(&m_btnExit, this, kIdcExit, kButton4Rect, Units());
    connect(&m_btnHomepage, &QPushButton::clicked, this, &CDialogStep1Dlg::OnHomepage);
    connect(&m_btnLoad, &QPushButton::clicked, this, &CDialogStep1Dlg::OnLoad);
    connect(&m_btnStart, &QPushButton::clicked, this, &CDialogStep1Dlg::OnStart);
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
    m_owner.m_pStep1Dlg = this;
    m_ctrlIntro.SetMessageBoxService(&m_owner.Messages());
    PageTexts::StylePanel(m_ctrlIntro);
    m_ctrlIntro.setText(PageTexts::Show(IntroText()));
    m_btnHomepage.SetIcon(kIconHomepage);
    m_btnLoad.SetIcon(kIconLoad);
    m_btnStart.SetIcon(kIconStart);
    m_btnExit.SetIcon(kIconExit);
    return true;
}

void CDialogStep1Dlg::OnHomepage() {
    m_owner.Shell().OpenUrl(std::string(kHomepageUrl));
}

void CDialogStep1Dlg::OnLoad() {
    const DataFolder& folder = m_owner.Folder();
    // The dialog opens in the REPORT folder, also before the first report.
    // Where it cannot be made the dialog still opens, somewhere else.
    (void)folder.EnsureReportFolder();
    const std::optional<std::filesystem::path> file = m_owner.Shell().ChooseFileToOpen(
        {folder.ReportFolder(), std::string(kReportFileFilter), std::string(kReportFileExtension)});
    if (!file) {
        return;
    }
    CDialogReport report(m_owner);
    report.m_strReportName = file->filename().string();
    report.m_strReportPath = file->string();
    if (m_owner.Messages().Ask(std::string(kMsgLoadSendQuestion)) == kAnswerYes) {
        CDialogStep5Dlg& completion = *m_owner.m_pStep5Dlg;
        completion.m_strReportName = report.m_strReportName;
        completion.m_strReportPath = report.m_strReportPath;
        // Whatever the upload's outcome, the report is shown next: it has
        // told the user about it in its own message.
        completion.SendReport();
    }
    report.DoModal();
}

void CDialogStep1Dlg::OnStart() {
    m_owner.StartDiagnosis();
}

void CDialogStep1Dlg::OnExit() {
    if (m_owner.Messages().Ask(std::string(kMsgExitNotCompleted)) == kAnswerYes) {
        m_owner.Shell().ExitProcess();
    }
}

}  // namespace vok
