#include "wizard/DialogFonts.h"

#include <QStringList>

#include "controls/CFontLabel.h"

namespace vok {

namespace {

// Fonts. Faces a Linux desktop lacks fall back to a sans face of like width.
constexpr std::string_view kDialogFontFace = "Tahoma";
constexpr int kDialogFontPoints = 9;
constexpr std::string_view kAboutFontFace = "MS Shell Dlg";
constexpr int kAboutFontPoints = 8;
// Tahoma and MS Shell Dlg are narrow faces, Verdana and MS Sans Serif wide ones.
constexpr std::string_view kNarrowFallbackFace = "DejaVu Sans Condensed";
constexpr std::string_view kWideFallbackFace = "DejaVu Sans";

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), text.size());
}

QFont Make(std::string_view face, int points) {
    QFont font(ToQString(face), points);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace

void DialogFonts::InstallSubstitutes() {
    for (const std::string_view face : {kDialogFontFace, kAboutFontFace}) {
        QStringList fallbacks;
        fallbacks << ToQString(kNarrowFallbackFace) << ToQString(kWideFallbackFace);
        QFont::insertSubstitutions(ToQString(face), fallbacks);
    }
    for (const std::string_view face : {kPanelFontFace, kLabelDefaultFace}) {
        QFont::insertSubstitution(ToQString(face), ToQString(kWideFallbackFace));
    }
}

QFont DialogFonts::DialogFont() {
    return Make(kDialogFontFace, kDialogFontPoints);
}

QFont DialogFonts::AboutFont() {
    return Make(kAboutFontFace, kAboutFontPoints);
}

}  // namespace vok
