#pragma once

#include <QLoggingCategory>

// What the wizard has to say beyond its message boxes, for a support call:
// the reason a device could not be opened or was lost, an upload's transport
// error. Filtered like any Qt category, e.g.
//     QT_LOGGING_RULES="vok.link.debug=true" vok-diagnosis
Q_DECLARE_LOGGING_CATEGORY(vokLink)
Q_DECLARE_LOGGING_CATEGORY(vokUpload)
