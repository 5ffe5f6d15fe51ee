#pragma once

#include <string>

#include "controls/CFontLabel.h"
#include "controls/CIconButton.h"
#include "platform/MessageBoxService.h"
#include "wizard/CWizardPage.h"

namespace vok {

// Page 134: why the diagnosis cannot go on, and Exit.
class CDialogError : public CWizardPage {
    Q_OBJECT

public:
    CDialogError(MessageBoxService& messages, QWidget* parent);

    bool OnInitDialog() override;

    // Puts the code into the page's fixed explanation; does not show the page.
    void SetErrorCode(const std::string& code);

    // The panel's text for a code.
    static std::string ErrorText(const std::string& code);

    CFontLabel m_ctrlError;
    CIconButton m_btnExit;

signals:
    // Exit asks nothing here.
    void ExitRequested();

private:
    MessageBoxService& m_messages;
};

}  // namespace vok
