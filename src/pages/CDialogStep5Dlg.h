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
