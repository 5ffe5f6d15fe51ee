#pragma once

#include <filesystem>
#include <string>

#include "controls/CFontLabel.h"
#include "controls/CIconButton.h"
#include "core/DiagnosisData.h"
#include "platform/MessageBoxService.h"
#include "report/SiteInfo.h"
#include "wizard/CWizardPage.h"

namespace vok {

// Page 133: the diagnosis is written; send it, show it, or leave. It keeps
// the name and path of the report file that Send and Report act on; the
// main dialog carries both out.
class CDialogStep5Dlg : public CWizardPage {
    Q_OBJECT

public:
    CDialogStep5Dlg(MessageBoxService& messages, QWidget* parent);

    bool OnInitDialog() override;

    static std::string CompletionText();

    // Writes the diagnosis's report file into `folder` and names it in
    // m_strReportName and m_strReportPath. Where it cannot be written the
    // user is told why, and both stay empty.
    void WriteReportFile(const std::filesystem::path& folder, const SiteInfo& site,
                         const DiagnosisData& tables);

    CIconButton m_btnSend;
    CIconButton m_btnReport;
    CIconButton m_btnExit;
    CFontLabel m_ctrlComplete;
    std::string m_strReportName;
    std::string m_strReportPath;

signals:
    void SendRequested();
    void ReportRequested();
    // After the user confirmed it.
    void ExitRequested();

private:
    void OnExit();

    MessageBoxService& m_messages;
};

}  // namespace vok
