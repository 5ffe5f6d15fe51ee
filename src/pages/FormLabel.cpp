#include "pages/FormLabel.h"

#include <QFontMetrics>

#include "pages/PageTexts.h"
#include "wizard/DialogControls.h"

namespace vok {

namespace {

// Form labels shrink their font by steps, at most to this share, rather than
// be cut off by a face wider than the one the template was measured with.
constexpr double kMinLabelFontScale = 0.75;
constexpr double kLabelFontStep = 0.25;

}  // namespace

FormLabel::FormLabel(const DlgControl& control, Qt::Alignment alignment, QWidget* parent,
                     const DialogUnits& units)
    : QLabel(PageTexts::Show(control.text), parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(alignment | Qt::AlignTop);
    DialogControls::Place(this, parent, control.id, control.rect, units);
    ShrinkToFit();
}

void FormLabel::ShrinkToFit() {
    // The templates were measured for one face; where the face that stands in
    // is wider, a slightly smaller size beats a cut-off word.
    QFont smaller = font();
    const qreal smallest = smaller.pointSizeF() * kMinLabelFontScale;
    while (QFontMetrics(smaller).horizontalAdvance(text()) > width() &&
           smaller.pointSizeF() - kLabelFontStep >= smallest) {
        smaller.setPointSizeF(smaller.pointSizeF() - kLabelFontStep);
    }
    if (smaller != font()) {
        setFont(smaller);
    }
}

}  // namespace vok
