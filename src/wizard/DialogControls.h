#pragma once

#include <QWidget>

#include "wizard/DialogUnits.h"

namespace vok {

// The id every static text of a template has.
inline constexpr int kIdcStatic = -1;

// Controls addressed by their template id, as the pages and tests find them.
class DialogControls {
public:
    static void SetId(QWidget* control, int id);
    static int Id(const QWidget* control);

    // The direct child of `dialog` with that id; nullptr when there is none.
    static QWidget* Find(const QWidget* dialog, int id);
    template <typename T>
    static T* Find(const QWidget* dialog, int id) {
        return qobject_cast<T*>(Find(dialog, id));
    }

    // Makes `control` a child of `dialog` with id and place from a template.
    template <typename T>
    static T* Place(T* control, QWidget* dialog, int id, const DlgRect& rect,
                    const DialogUnits& units) {
        control->setParent(dialog);
        control->setGeometry(units.Rect(rect));
        SetId(control, id);
        return control;
    }
};

}  // namespace vok
