#include "controls/ControlAccessibility.h"

#include <QAccessible>

#include "controls/CFontLabel.h"
#include "controls/CTextProgressCtrl.h"
#include "controls/FontLabelAccessible.h"
#include "controls/TextProgressAccessible.h"

namespace vok {

namespace {

// Qt asks with each class name of the object's ancestry, most derived first.
QAccessibleInterface* MakeInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(CFontLabel::staticMetaObject.className())) {
        if (auto* label = qobject_cast<CFontLabel*>(object)) {
            return new FontLabelAccessible(label);
        }
    }
    if (className == QLatin1String(CTextProgressCtrl::staticMetaObject.className())) {
        if (auto* bar = qobject_cast<CTextProgressCtrl*>(object)) {
            return new TextProgressAccessible(bar);
        }
    }
    return nullptr;
}

}  // namespace

void ControlAccessibility::Install() {
    static const bool installed = [] {
        QAccessible::installFactory(&MakeInterface);
        return true;
    }();
    (void)installed;
}

}  // namespace vok
