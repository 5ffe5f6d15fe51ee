#pragma once

#include <string>

#include "controls/CFontLabel.h"
#include "controls/CIconButton.h"
#include "controls/CTextProgressCtrl.h"
#include "wizard/CWizardPage.h"

namespace vok {

class CDiagnosisDlg;

// Page 130: the acquisition under way, with a status text, a bar for the
// system records and one for the log records.
class CDialogStep2Dlg : public CWizardPage {
    Q_OBJECT

public:
    explicit CDialogStep2Dlg(CDiagnosisDlg& owner);

    bool OnInitDialog() override;

    // The acquisition's page effects; GUI thread only.
    void AddStatusLine(const std::string& line);
    void SetSystemProgress(int position);
    void SetLogProgress(int position);

    // The status panel's text before the first status line.
    static std::string InitialStatusText();

    CTextProgressCtrl m_ctrlSystemProgress;
    CTextProgressCtrl m_ctrlLogProgress;
    CFontLabel m_ctrlStatus;
    CIconButton m_btnHomepage;
    CIconButton m_btnSkip;
    CIconButton m_btnNext;
    CIconButton m_btnExit;

private:
    void OnHomepage();
    void OnSkip();
    void OnNext();
    void OnExit();

    CDiagnosisDlg& m_owner;
};

}  // namespace vok
