#include "pages/FormLabel.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>

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

void FormLabel::NameBoxes(const QWidget& form) {
    const QList<FormLabel*> labels = form.findChildren<FormLabel*>(Qt::FindDirectChildrenOnly);
    for (QWidget* box : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QLineEdit*>(box) == nullptr &&
            qobject_cast<QPlainTextEdit*>(box) == nullptr) {
            continue;
        }
        const int firstLineBottom = box->y() + box->fontMetrics().height();
        FormLabel* nearest = nullptr;
        for (FormLabel* label : labels) {
            const QRect place = label->geometry();
            const bool besideFirstLine = place.top() < firstLineBottom && place.bottom() > box->y();
            if (besideFirstLine && place.right() < box->x() &&
                (nearest == nullptr || place.right() > nearest->geometry().right())) {
                nearest = label;
            }
        }
        if (nearest != nullptr) {
            box->setAccessibleName(nearest->text().trimmed());
            nearest->setBuddy(box);
        }
    }
}

}  // namespace vok
