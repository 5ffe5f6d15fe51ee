#pragma once

#include <QWidget>

#include "wizard/DialogUnits.h"

namespace vok {

// The base of every page the wizard host shows. A page is a child widget
// built from its template; it stays hidden until the host shows it, and Enter
// and Escape inside it close nothing. A page that is shown takes the keyboard
// focus unless a visible control still holds it.
class CWizardPage : public QWidget {
    Q_OBJECT

public:
    CWizardPage(unsigned templateId, QWidget* parent);

    unsigned TemplateId() const { return m_templateId; }

    // Runs once, right after the host has created the page, before it is
    // placed; true on success.
    virtual bool OnInitDialog() { return true; }

protected:
    // The template's units: the dialog font's.
    const DialogUnits& Units() const { return m_units; }

    void keyPressEvent(QKeyEvent* event) override;
    // Takes the keyboard focus to the page's first control when it still
    // sits on the page just hidden.
    void showEvent(QShowEvent* event) override;

private:
    unsigned m_templateId;
    DialogUnits m_units;
};

}  // namespace vok
