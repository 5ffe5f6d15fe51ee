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

private:
    void ShrinkToFit();
};

}  // namespace vok
