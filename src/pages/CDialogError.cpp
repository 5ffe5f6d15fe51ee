#include "pages/CDialogError.h"

#include "app/CDiagnosisDlg.h"
#include "pages/PageTemplates.h"
#include "pages/PageTexts.h"
#include "resources/Icons.h"
#include "wizard/DialogControls.h"

namespace vok {

namespace {

constexpr std::string_view kErrorStatePiece = "  Detected ERROR State ...\n";
constexpr std::string_view kErrorCodeFormat = "  CODE : %s \n\n\n";
constexpr std::string_view kErrorRetryPiece =
    "  Please, Reboot Console and Retry Diagnosis Procedure ... ";

}  // namespace

CDialogError::CDialogError(CDiagnosisDlg& owner)
    : CWizardPage(kIdErrorPage, &owner), m_btnExit(PageTexts::Show(kExitText)), m_owner(owner) {
    DialogControls::Place(&m_ctrlError, this, kIdcPanel, kPanelRect, Units());
    DialogControls::Place(&m_btnExit, this, kIdcExit, kButton4Rect, Units());
    connect(&m_btnExit, &QPushButton::clicked, this, &CDialogError::OnExit);
}

bool CDialogError::OnInitDialog() {
    CWizardPage::OnInitDialog();
    m_owner.m_pErrorDlg = this;
    m_ctrlError.SetMessageBoxService(&m_owner.Messages());
    return true;
}

std::string CDialogError::ErrorText(const std::string& code) {
    std::string text = PageTexts::Header();
    text += kErrorStatePiece;
    text += PageTexts::Format(kErrorCodeFormat, {code});
    text += kErrorRetryPiece;
    return text;
}

void CDialogError::SetErrorCode(const std::string& code) {
    PageTexts::StylePanel(m_ctrlError);
    m_ctrlError.setText(PageTexts::Show(ErrorText(code)));
    m_btnExit.SetIcon(kIconExit);
}

void CDialogError::OnExit() {
    m_owner.Shell().ExitProcess();
}

}  // namespace vok
