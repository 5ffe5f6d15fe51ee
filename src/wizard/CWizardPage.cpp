#include "wizard/CWizardPage.h"

#include <QKeyEvent>
#include <QShowEvent>

#include "wizard/DialogFonts.h"

namespace vok {

namespace {

// Pages (templates 129 to 134), in dialog units.
constexpr int kPageWidth = 300;
constexpr int kPageHeight = 250;

}  // namespace

CWizardPage::CWizardPage(unsigned templateId, QWidget* parent)
    : QWidget(parent), m_templateId(templateId), m_units(DialogFonts::DialogFont()) {
    setFont(DialogFonts::DialogFont());
    setFixedSize(m_units.Size(kPageWidth, kPageHeight));
    // A page exists hidden from its creation until the host shows it.
    setVisible(false);
}

void CWizardPage::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            // The page's OK and Cancel do nothing: the key stops here instead
            // of closing the host behind the pages' backs.
            event->accept();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void CWizardPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Qt leaves the focus on a control of the page that was hidden (no page
    // is visible at that moment to take it), and keys would then press
    // buttons nobody sees. The first control in tab order takes it instead,
    // as a dialog's first control does when it opens.
    const QWidget* holder = window()->focusWidget();
    if (holder != nullptr && holder->isVisible()) {
        return;
    }
    for (QWidget* next = nextInFocusChain(); next != this; next = next->nextInFocusChain()) {
        if (isAncestorOf(next) && next->isVisible() && next->isEnabled() &&
            (next->focusPolicy() & Qt::TabFocus) != 0) {
            next->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

}  // namespace vok
