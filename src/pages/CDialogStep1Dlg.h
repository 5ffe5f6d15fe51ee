#pragma once

#include "controls/CFontLabel.h"
#include "controls/CIconButton.h"
#include "platform/DesktopShell.h"
#include "platform/MessageBoxService.h"
#include "wizard/CWizardPage.h"

namespace vok {

// Page 129, the start page: what the program does, and Homepage, Load,
// Start and Exit. Load and Start are the main dialog's to carry out.
class CDialogStep1Dlg : public CWizardPage {
    Q_OBJECT

public:
    CDialogStep1Dlg(MessageBoxService& messages, DesktopShell& shell, QWidget* parent);

    bool OnInitDialog() override;

    // The intro panel's text.
    static std::string IntroText();

    CIconButton m_btnHomepage;
    CIconButton m_btnLoad;
    CIconButton m_btnStart;
    CIconButton m_btnExit;
    CFontLabel m_ctrlIntro;

signals:
    void LoadRequested();
    void StartRequested();
    // After the user confirmed it.
    void ExitRequested();

private:
    void OnHomepage();
    void OnExit();

    MessageBoxService& m_messages;
    DesktopShell& m_shell;
};

}  // namespace vok
