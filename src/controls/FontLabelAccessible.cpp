#include "controls/FontLabelAccessible.h"

#include "controls/CFontLabel.h"

namespace vok {

FontLabelAccessible::FontLabelAccessible(CFontLabel* label)
    : QAccessibleWidget(label, QAccessible::StaticText) {}

CFontLabel* FontLabelAccessible::Label() const {
    return static_cast<CFontLabel*>(widget());
}

QString FontLabelAccessible::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) {
        return Label()->text();
    }
    return QAccessibleWidget::text(kind);
}

QAccessible::State FontLabelAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    return state;
}

}  // namespace vok
