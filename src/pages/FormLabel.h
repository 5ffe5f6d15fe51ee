#pragma once

#include <QLabel>

#include "pages/PageTemplates.h"
#include "wizard/DialogUnits.h"

namespace vok {

// A static text of a form template: one line, no mnemonics, left or right
// aligned, at its template place.
class FormLabel : public QLabel {
    Q_OBJECT

public:
    FormLabel(const DlgControl& control, Qt::Alignment alignment, QWidget* parent,
              const DialogUnits& units);

    // Names each edit box of `form` after the label that stands left of its
    // first line, nearest to it, and makes the label the box's buddy, so a
    // screen reader says "Hospital Name, edit, ...". Call once the boxes and
    // labels are in place.
    static void NameBoxes(const QWidget& form);

private:
    void ShrinkToFit();
};

}  // namespace vok
