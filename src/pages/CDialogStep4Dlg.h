#pragma once

#include <array>

#include <QCheckBox>
#include <QLineEdit>

#include "controls/CIconButton.h"
#include "core/Constants.h"
#include "pages/FormGroupBox.h"
#include "wizard/CWizardPage.h"

namespace vok {

class CDiagnosisDlg;

// Page 132: the generator's installation data, the service engineer and one
// service history entry.
class CDialogStep4Dlg : public CWizardPage {
    Q_OBJECT

public:
    static constexpr std::size_t kBoxes = kServiceFieldCountOnPage;

    explicit CDialogStep4Dlg(CDiagnosisDlg& owner);

    bool OnInitDialog() override;

    // Fills ten boxes from the [SERVICE] section of the site configuration
    // file; the history cause and action start empty.
    void LoadServiceInfo();
    // Copies the twelve boxes into the main dialog's site information.
    void SaveServiceInfo();

    FormGroupBox m_grpService;
    std::array<QLineEdit*, kBoxes> m_edtService{};  // in the order of the fields
    QCheckBox m_chkAddHistory;
    CIconButton m_btnHomepage;
    CIconButton m_btnBack;
    CIconButton m_btnNext;
    CIconButton m_btnExit;

private:
    void OnHomepage();
    void OnBack();
    void OnNext();
    void OnExit();

    CDiagnosisDlg& m_owner;
};

}  // namespace vok
