#pragma once

#include <list>

#include <QDialog>

#include "wizard/CWizardPage.h"

namespace vok {

class CWizardDialog;

// One added page.
struct PageEntry {
    bool created = false;  // the page exists; false again once removed
    bool active = false;   // the page is the shown one
    unsigned id = 0;       // the page's template id
    CWizardPage* page = nullptr;
    CWizardDialog* owner = nullptr;
};

// A dialog that hosts pages over a placeholder control and shows one at a
// time; pages are addressed by their template id.
class CWizardDialog : public QDialog {
    Q_OBJECT

public:
    CWizardDialog(int placeholderId, unsigned templateId, QWidget* parent = nullptr);
    ~CWizardDialog() override;

    // Creates the page with that id through CreatePage, places it at the
    // placeholder's top-left corner and keeps it hidden.
    PageEntry* AddPage(unsigned id);

    // Hides the shown page, if any, and shows the page with that id; an id
    // never added leaves no page shown.
    void SetActivePage(unsigned id);

    const std::list<PageEntry>& Pages() const { return m_Pages; }
    CWizardPage* Page(unsigned id) const;
    // The shown page's id; 0 when none is shown.
    unsigned ActivePageId() const;
    unsigned TemplateId() const { return m_templateId; }

protected:
    // The host's page factory; nullptr for an id it does not know.
    virtual CWizardPage* CreatePage(unsigned id) = 0;

    // Removes every page, once each. Runs at the latest
    // when the host is destroyed; a host with state its pages use calls it
    // earlier, while that state still exists.
    void DestroyPages();

    unsigned m_nPlaceholderId;
    std::list<PageEntry> m_Pages;

private:
    unsigned m_templateId;
};

}  // namespace vok
