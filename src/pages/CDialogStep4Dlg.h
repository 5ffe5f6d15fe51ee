#pragma once

#include <array>
#include <cstddef>

#include <QCheckBox>
#include <QLineEdit>

#include "controls/CIconButton.h"
#include "pages/FormGroupBox.h"
#include "platform/DesktopShell.h"
#include "platform/MessageBoxService.h"
#include "report/SiteInfo.h"
#include "wizard/CWizardPage.h"

namespace vok {

// The page's boxes, one per service field.
inline constexpr std::size_t kServiceFieldCountOnPage = 12;

// Page 132: the generator's installation data, the service engineer and one
// service history entry.
class CDialogStep4Dlg : public CWizardPage {
    Q_OBJECT

public:
    static constexpr std::size_t kBoxes = kServiceFieldCountOnPage;

    CDialogStep4Dlg(MessageBoxService& messages, DesktopShell& shell, QWidget* parent);

    bool OnInitDialog() override;

    // Fills the twelve boxes from the service fields of `form` (the
    // [SERVICE] section of the site configuration file, with the history
    // cause and action empty).
    void LoadServiceInfo(const SiteInfo& form);
    // The twelve boxes as the service fields of a site information; the
    // other fields stay empty.
    SiteInfo SaveServiceInfo() const;

    FormGroupBox m_grpService;
    std::array<QLineEdit*, kBoxes> m_edtService{};  // in the order of the fields
    QCheckBox m_chkAddHistory;
    CIconButton m_btnHomepage;
    CIconButton m_btnBack;
    CIconButton m_btnNext;
    CIconButton m_btnExit;

signals:
    // Each after the user confirmed it; Next with what the form holds.
    void BackRequested();
    void NextRequested(const vok::SiteInfo& form);
    void ExitRequested();

private:
    void OnHomepage();
    void OnBack();
    void OnNext();
    void OnExit();

    MessageBoxService& m_messages;
    DesktopShell& m_shell;
};

}  // namespace vok
