#pragma once

#include <string>

#include "controls/CFontLabel.h"
#include "controls/CIconButton.h"
#include "wizard/CWizardPage.h"

namespace vok {

class CDiagnosisDlg;

// Page 134: why the diagnosis cannot go on, and Exit.
class CDialogError : public CWizardPage {
    Q_OBJECT

public:
    explicit CDialogError(CDiagnosisDlg& owner);

    bool OnInitDialog() override;

    // Puts the code into the page's fixed explanation; does not show the page.
    void SetErrorCode(const std::string& code);

    // The panel's text for a code.
    static std::string ErrorText(const std::string& code);

    CFontLabel m_ctrlError;
    CIconButton m_btnExit;

private:
    void OnExit();

    CDiagnosisDlg& m_owner;
};

}  // namespace vok
