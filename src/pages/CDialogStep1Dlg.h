#pragma once

#include "controls/CFontLabel.h"
#include "controls/CIconButton.h"
#include "wizard/CWizardPage.h"

namespace vok {

class CDiagnosisDlg;

// Page 129, the start page: what the program does, and Homepage, Load,
// Start and Exit.
class CDialogStep1Dlg : public CWizardPage {
    Q_OBJECT

public:
    explicit CDialogStep1Dlg(CDiagnosisDlg& owner);

    bool OnInitDialog() override;

    // The intro panel's text.
    static std::string IntroText();

    CIconButton m_btnHomepage;
    CIconButton m_btnLoad;
    CIconButton m_btnStart;
    CIconButton m_btnExit;
    CFontLabel m_ctrlIntro;

private:
    void OnHomepage();
    void OnLoad();
    void OnStart();
    void OnExit();

    CDiagnosisDlg& m_owner;
};

}  // namespace vok
