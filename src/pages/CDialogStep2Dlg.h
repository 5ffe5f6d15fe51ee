#pragma once

#include <string>

#include "controls/CFontLabel.h"
#include "controls/CIconButton.h"
#include "controls/CTextProgressCtrl.h"
#include "platform/DesktopShell.h"
#include "platform/MessageBoxService.h"
#include "wizard/CWizardPage.h"

namespace vok {

// Page 130: the acquisition under way, with a status text, a bar for the
// system records and one for the log records. The main dialog feeds it and
// switches Skip and Next.
class CDialogStep2Dlg : public CWizardPage {
    Q_OBJECT

public:
    CDialogStep2Dlg(MessageBoxService& messages, DesktopShell& shell, QWidget* parent);

    bool OnInitDialog() override;

    // The acquisition's page effects.
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

signals:
    // Each after the user confirmed it (Next asks nothing).
    void SkipRequested();
    void NextRequested();
    void ExitRequested();

private:
    void OnHomepage();
    void OnSkip();
    void OnExit();

    MessageBoxService& m_messages;
    DesktopShell& m_shell;
};

}  // namespace vok
