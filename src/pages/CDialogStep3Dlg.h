#pragma once

#include <array>
#include <string>

#include <QLineEdit>
#include <QPlainTextEdit>

#include "controls/CIconButton.h"
#include "core/Constants.h"
#include "pages/FormGroupBox.h"
#include "wizard/CWizardPage.h"

namespace vok {

class CDiagnosisDlg;

// Page 131: the user site's contact data and the operator's comments.
class CDialogStep3Dlg : public CWizardPage {
    Q_OBJECT

public:
    static constexpr std::size_t kLineBoxes = 6;

    explicit CDialogStep3Dlg(CDiagnosisDlg& owner);

    bool OnInitDialog() override;

    // Fills the six boxes from the [USER] section of the site configuration
    // file; the comments box starts empty.
    void LoadUserInfo();

    // Copies the seven boxes into the main dialog's site information; the
    // comments keep their line breaks.
    void SaveUserInfo();

    FormGroupBox m_grpUser;
    std::array<QLineEdit*, kLineBoxes> m_edtUser{};  // 1014 to 1019
    QPlainTextEdit* m_edtComment = nullptr;          // 1020
    CIconButton m_btnHomepage;
    CIconButton m_btnNext;
    CIconButton m_btnExit;

private:
    void OnHomepage();
    void OnNext();
    void OnExit();

    CDiagnosisDlg& m_owner;
};

}  // namespace vok
