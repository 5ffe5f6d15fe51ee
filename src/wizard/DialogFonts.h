#pragma once

#include <string_view>

#include <QFont>

namespace vok {

// The face of the pages' text panels.
inline constexpr std::string_view kPanelFontFace = "Verdana";

// The faces the dialog templates name, and the sans faces that stand in for
// them where the desktop does not have them.
class DialogFonts {
public:
    // Registers the fallbacks; call once after the application object exists.
    static void InstallSubstitutes();

    // The pages' and the main dialog's font (Tahoma 9).
    static QFont DialogFont();
    // The about box's font (MS Shell Dlg 8).
    static QFont AboutFont();
};

}  // namespace vok
