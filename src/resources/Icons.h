#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace vok {

// Icon resources.
inline constexpr int kIconApplication = 128;
inline constexpr int kIconBack = 136;
inline constexpr int kIconExit = 137;
inline constexpr int kIconHomepage = 138;
inline constexpr int kIconLoad = 139;
inline constexpr int kIconNext = 140;
inline constexpr int kIconReport = 141;
inline constexpr int kIconSend = 142;
inline constexpr int kIconSkip = 143;
inline constexpr int kIconStart = 144;

// The program's icons (application 128, page buttons 136 to 144), drawn as
// SVG files in a Qt resource and rendered sharp at any size and pixel ratio.
class Icons {
public:
    // The resource path of an icon id; the file may not exist.
    static QString Path(int id);

    static bool Exists(int id);

    // The icon rendered at size x size logical pixels; a null pixmap for an
    // unknown id.
    static QPixmap Pixmap(int id, int size, qreal devicePixelRatio = 1.0);

    // The icon with every size a window manager may ask for.
    static QIcon WindowIcon(int id);

private:
    // Static libraries drop resource objects that nothing refers to; this
    // refers to them.
    static void EnsureRegistered();
};

}  // namespace vok
