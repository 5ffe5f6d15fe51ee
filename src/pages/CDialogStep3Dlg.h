#pragma once

#include <array>
#include <string>

#include <QLineEdit>
#include <QPlainTextEdit>

#include "controls/CIconButton.h"
#include "pages/FormGroupBox.h"
#include "platform/DesktopShell.h"
#include "platform/MessageBoxService.h"
#include "report/SiteInfo.h"
#include "wizard/CWizardPage.h"

namespace vok {

// Page 131: the user site's contact data and the operator's comments.
class CDialogStep3Dlg : public CWizardPage {
    Q_OBJECT

public:
    static constexpr std::size_t kLineBoxes = 6;

    CDialogStep3Dlg(MessageBoxService& messages, DesktopShell& shell, QWidget* parent);

    bool OnInitDialog() override;

    // Fills the six boxes from the user fields of `form` (the [USER] section
    // of the site configuration file); the comments box starts empty.
    void LoadUserInfo(const SiteInfo& form);

    // The seven boxes as the user fields of a site information; the
    // comments keep their line breaks. The other fields stay empty.
    SiteInfo SaveUserInfo() const;

    FormGroupBox m_grpUser;
    std::array<QLineEdit*, kLineBoxes> m_edtUser{};  // 1014 to 1019
    QPlainTextEdit* m_edtComment = nullptr;          // 1020
    CIconButton m_btnHomepage;
    CIconButton m_btnNext;
    CIconButton m_btnExit;

signals:
    // After the user confirmed the form, with what it holds.
    void NextRequested(const vok::SiteInfo& form);
    void ExitRequested();

private:
    void OnHomepage();
    void OnNext();
    void OnExit();

    MessageBoxService& m_messages;
    DesktopShell& m_shell;
};

}  // namespace vok
