#include "wizard/DialogUnits.h"

#include <QFontMetrics>

namespace vok {

namespace {

// Dialog units: a quarter of the average character width across, an eighth
// of the character height down; the average is taken over both alphabets.
constexpr int kDialogUnitsPerCharX = 4;
constexpr int kDialogUnitsPerCharY = 8;
constexpr int kAlphabetLetters = 52;

// a * b / c rounded half away from zero, without overflow for our sizes.
int MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    // The average width as the dialog manager measures it: the whole
    // alphabet, both cases, divided by 52 and rounded.
    const QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = (alphabet / (kAlphabetLetters / 2) + 1) / 2;
    m_baseY = metrics.height();
}

int DialogUnits::X(int units) const {
    return MulDiv(units, m_baseX, kDialogUnitsPerCharX);
}

int DialogUnits::Y(int units) const {
    return MulDiv(units, m_baseY, kDialogUnitsPerCharY);
}

QRect DialogUnits::Rect(const DlgRect& rect) const {
    // Both corners are converted, so neighbouring controls stay flush.
    const QPoint topLeft(X(rect.x), Y(rect.y));
    const QPoint bottomRight(X(rect.x + rect.w), Y(rect.y + rect.h));
    return {topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y())};
}

}  // namespace vok
