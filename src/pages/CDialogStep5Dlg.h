#pragma once

#include <string>

#include "controls/CFontLabel.h"
#include "controls/CIconButton.h"
#include "wizard/CWizardPage.h"

namespace vok {

class CDiagnosisDlg;

// Page 133: the diagnosis is written; send it, show it, or leave.
class CDialogStep5Dlg : public CWizardPage {
    Q_OBJECT

public:
    explicit CDialogStep5Dlg(CDiagnosisDlg& owner);

    bool OnInitDialog() override;

    static std::string CompletionText();

    // Writes the diagnosis's report file into the REPORT folder and names it
    // in m_strReportName and m_strReportPath. Where it cannot be written the
    // user is told why, and both stay empty.
    void WriteReportFile();
    // Send to Service Center: asks, uploads m_strReportPath and tells the
    // outcome. The start page's Load uses it too.
    void SendReport();
    // Report: renders the report file again and opens it in the browser.
    void ShowReport();

    CIconButton m_btnSend;
    CIconButton m_btnReport;
    CIconButton m_btnExit;
    CFontLabel m_ctrlComplete;
    std::string m_strReportName;
    std::string m_strReportPath;

private:
    void OnExit();

    CDiagnosisDlg& m_owner;
};

}  // namespace vok
