#include "controls/TextProgressAccessible.h"

#include "controls/CTextProgressCtrl.h"

namespace vok {

TextProgressAccessible::TextProgressAccessible(CTextProgressCtrl* bar)
    : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

CTextProgressCtrl* TextProgressAccessible::Bar() const {
    return static_cast<CTextProgressCtrl*>(widget());
}

void* TextProgressAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QString TextProgressAccessible::text(QAccessible::Text kind) const {
    switch (kind) {
        case QAccessible::Name:
            if (widget()->accessibleName().isEmpty()) {
                return Bar()->text().trimmed();
            }
            break;
        case QAccessible::Description:
            if (widget()->accessibleDescription().isEmpty()) {
                return Bar()->DisplayText();
            }
            break;
        case QAccessible::Value:
            return QString::number(Bar()->Percent()) + QLatin1Char('%');
        default:
            break;
    }
    return QAccessibleWidget::text(kind);
}

QAccessible::State TextProgressAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    return state;
}

QVariant TextProgressAccessible::currentValue() const {
    return Bar()->GetPos();
}

void TextProgressAccessible::setCurrentValue(const QVariant& /*value*/) {}

QVariant TextProgressAccessible::maximumValue() const {
    return Bar()->GetUpper();
}

QVariant TextProgressAccessible::minimumValue() const {
    return Bar()->GetLower();
}

QVariant TextProgressAccessible::minimumStepSize() const {
    return 0;
}

}  // namespace vok
