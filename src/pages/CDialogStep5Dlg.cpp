#include "pages/CDialogStep5Dlg.h"

#include "app/CDiagnosisDlg.h"
#include "core/Constants.h"
#include "pages/PageTexts.h"
#include "wizard/DialogControls.h"

namespace vok {

CDialogStep5Dlg::CDialogStep5Dlg(CDiagnosisDlg& owner)
    : CWizardPage(kIdCompletionPage, &owner),
      m_btnSend(PageTexts::Show(kSendText)),
      m_btnReport(PageTexts::Show(kReportText)),
      m_btnExit(PageTexts::Show(kExitText)),
      m_owner(owner) {
    DialogControls::Place(&m_ctrlComplete, this, kIdcPanel, kPanelRect, Units());
    DialogControls::Place(&m_btnSend, this, kIdcSend, kSendButtonRect, Units());
    DialogControls::Place(&m_btnReport, this, kIdcReport, kButton3Rect, Units());
    DialogControls::Place(&m_btnExit, this, kIdcExit, kButton4Rect, Units());
    connect(&m_btnExit, &QPushButton::clicked, this, &CDialogStep5Dlg::OnExit);
}

std::string CDialogStep5Dlg::CompletionText() {
    std::string text = PageTexts::Header();
    for (const std::string_view piece : kCompletionPieces) {
        text += piece;
    }
    return text;
}

bool CDialogStep5Dlg::OnInitDialog() {
    CWizardPage::OnInitDialog();
    m_owner.m_pStep5Dlg = this;
    m_ctrlComplete.SetMessageBoxService(&m_owner.Messages());
    PageTexts::StylePanel(m_ctrlComplete);
    m_ctrlComplete.setText(PageTexts::Show(CompletionText()));
    m_btnSend.SetIcon(kIconSend);
    m_btnReport.SetIcon(kIconReport);
    m_btnExit.SetIcon(kIconExit);
    return true;
}

void CDialogStep5Dlg::OnExit() {
    if (m_owner.Messages().Ask(std::string(kMsgExitSoftware)) == kAnswerYes) {
        m_owner.Shell().ExitProcess();
    }
}

}  // namespace vok
