#include "pages/CDialogError.h"

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

CDialogError::CDialogError(MessageBoxService& messages, QWidget* parent)
    : CWizardPage(kIdErrorPage, parent),
      m_btnExit(PageTexts::Show(kExitText)),
      m_messages(messages) {
    DialogControls::Place(&m_ctrlError, this, kIdcPanel, kPanelRect, Units());
    DialogControls::Place(&m_btnExit, this, kIdcExit, kButton4Rect, Units());
    connect(&m_btnExit, &QPushButton::clicked, this, &CDialogError::ExitRequested);
}

bool CDialogError::OnInitDialog() {
    CWizardPage::OnInitDialog();
    m_ctrlError.SetMessageBoxService(&m_messages);
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

}  // namespace vok
