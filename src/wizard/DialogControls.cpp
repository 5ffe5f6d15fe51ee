#include "wizard/DialogControls.h"

#include <QVariant>

namespace vok {

namespace {

constexpr const char* kIdProperty = "vokControlId";

}  // namespace

void DialogControls::SetId(QWidget* control, int id) {
    control->setProperty(kIdProperty, id);
    control->setObjectName(QStringLiteral("idc%1").arg(id));
}

int DialogControls::Id(const QWidget* control) {
    const QVariant id = control->property(kIdProperty);
    return id.isValid() ? id.toInt() : kIdcStatic;
}

QWidget* DialogControls::Find(const QWidget* dialog, int id) {
    for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (Id(child) == id) {
            return child;
        }
    }
    return nullptr;
}

}  // namespace vok
