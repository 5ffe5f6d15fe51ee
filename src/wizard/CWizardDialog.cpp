#include "wizard/CWizardDialog.h"

#include "wizard/DialogControls.h"

namespace vok {

CWizardDialog::CWizardDialog(int placeholderId, unsigned templateId, QWidget* parent)
    : QDialog(parent),
      m_nPlaceholderId(static_cast<unsigned>(placeholderId)),
      m_templateId(templateId) {}

CWizardDialog::~CWizardDialog() {
    DestroyPages();
}

PageEntry* CWizardDialog::AddPage(unsigned id) {
    PageEntry& entry = m_Pages.emplace_back();
    entry.id = id;
    entry.owner = this;
    entry.page = CreatePage(id);
    if (entry.page == nullptr) {
        return &entry;  // nothing to show under this id
    }
    entry.page->setParent(this);
    entry.page->setVisible(false);
    entry.page->OnInitDialog();

    const QWidget* placeholder = DialogControls::Find(this, static_cast<int>(m_nPlaceholderId));
    if (placeholder != nullptr) {
        entry.page->move(placeholder->geometry().topLeft());
    }
    entry.page->setEnabled(true);
    entry.created = true;
    return &entry;
}

void CWizardDialog::SetActivePage(unsigned id) {
    PageEntry* requested = nullptr;
    PageEntry* active = nullptr;
    for (PageEntry& entry : m_Pages) {
        if (requested == nullptr && entry.id == id) {
            requested = &entry;
        }
        if (active == nullptr && entry.active) {
            active = &entry;
        }
    }
    if (active != nullptr) {
        if (active->page != nullptr) {
            active->page->hide();
        }
        active->active = false;
    }
    if (requested == nullptr || requested->page == nullptr) {
        return;
    }
    requested->page->show();
    requested->page->raise();
    if (requested->page->isVisible()) {
        requested->page->repaint();
    }
    requested->active = true;
}

CWizardPage* CWizardDialog::Page(unsigned id) const {
    for (const PageEntry& entry : m_Pages) {
        if (entry.id == id) {
            return entry.page;
        }
    }
    return nullptr;
}

unsigned CWizardDialog::ActivePageId() const {
    for (const PageEntry& entry : m_Pages) {
        if (entry.active) {
            return entry.id;
        }
    }
    return 0;
}

void CWizardDialog::DestroyPages() {
    for (PageEntry& entry : m_Pages) {
        if (!entry.created) {
            continue;
        }
        entry.created = false;
        delete entry.page;
        entry.page = nullptr;
    }
    m_Pages.clear();
}

}  // namespace vok
