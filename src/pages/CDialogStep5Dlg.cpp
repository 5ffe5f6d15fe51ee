#include "pages/CDialogStep5Dlg.h"

#include <ctime>

#include "core/UserMessages.h"
#include "pages/PageMessages.h"
#include "pages/PageTemplates.h"
#include "pages/PageTexts.h"
#include "platform/MessageBoxService.h"
#include "report/ReportFileWriter.h"
#include "resources/Icons.h"
#include "wizard/DialogControls.h"
#include "wizard/DialogUnits.h"

namespace vok {

namespace {

constexpr int kIdcSend = 1013;
constexpr int kIdcReport = 1039;
constexpr DlgRect kSendButtonRect{7, 221, 100, 22};
constexpr std::string_view kSendText = "Send to Service Center";
constexpr std::string_view kReportText = "Report";
constexpr std::string_view kCompletionPieces[] = {
    "  VOK Remote Diagnosis completed.\n\n",
    "  If you want to send report via VOK Service Center,\n",
    "  Click the 'Send VOK Service Center' button.\n\n",
    "  Thanks you.",
};

}  // namespace

CDialogStep5Dlg::CDialogStep5Dlg(MessageBoxService& messages, QWidget* parent)
    : CWizardPage(kIdCompletionPage, parent),
      m_btnSend(PageTexts::Show(kSendText)),
      m_btnReport(PageTexts::Show(kReportText)),
      m_btnExit(PageTexts::Show(kExitText)),
      m_messages(messages) {
    DialogControls::Place(&m_ctrlComplete, this, kIdcPanel, kPanelRect, Units());
    DialogControls::Place(&m_btnSend, this, kIdcSend, kSendButtonRect, Units());
    DialogControls::Place(&m_btnReport, this, kIdcReport, kButton3Rect, Units());
    DialogControls::Place(&m_btnExit, this, kIdcExit, kButton4Rect, Units());
    connect(&m_btnSend, &QPushButton::clicked, this, &CDialogStep5Dlg::SendRequested);
    connect(&m_btnReport, &QPushButton::clicked, this, &CDialogStep5Dlg::ReportRequested);
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
    m_ctrlComplete.SetMessageBoxService(&m_messages);
    PageTexts::StylePanel(m_ctrlComplete);
    m_ctrlComplete.setText(PageTexts::Show(CompletionText()));
    m_btnSend.SetIcon(kIconSend);
    m_btnReport.SetIcon(kIconReport);
    m_btnExit.SetIcon(kIconExit);
    return true;
}

void CDialogStep5Dlg::WriteReportFile(const std::filesystem::path& folder, const SiteInfo& site,
                                      const DiagnosisData& tables) {
    const Result<WrittenReport> written =
        ReportFileWriter::WriteReportFile(folder, site, tables, std::time(nullptr));
    if (!written) {
        // A report loaded earlier must not stand in for this diagnosis at
        // Send or Report.
        m_strReportName.clear();
        m_strReportPath.clear();
        m_messages.Notify(std::string(kErrorMessagePrefix) + written.error());
        return;
    }
    m_strReportName = written->m_strReportName;
    m_strReportPath = written->m_strReportPath;
}

void CDialogStep5Dlg::OnExit() {
    if (m_messages.Ask(std::string(kMsgExitSoftware))) {
        emit ExitRequested();
    }
}

}  // namespace vok
