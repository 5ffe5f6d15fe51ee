#include "pages/FormLabel.h"

#include "pages/PageTexts.h"
#include "wizard/DialogControls.h"

namespace vok {

FormLabel::FormLabel(const DlgControl& control, Qt::Alignment alignment, QWidget* parent,
                     const DialogUnits& units)
    : QLabel(PageTexts::Show(control.text), parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(alignment | Qt::AlignTop);
    DialogControls::Place(this, parent, control.id, control.rect, units);
}

}  // namespace vok
