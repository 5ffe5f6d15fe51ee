#include "wizard/DialogFonts.h"

#include <QStringList>

#include "core/Constants.h"

namespace vok {

namespace {

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
