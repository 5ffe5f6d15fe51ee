#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace vok {

// A control's place in a dialog template, in dialog units.
struct DlgRect {
    int x, y, w, h;
};
struct DlgPoint {
    int x, y;
};

// Dialog units to pixels through a dialog font's metrics: a horizontal unit
// is a quarter of the font's average character width, a vertical unit an
// eighth of its character height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}

    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }

    int X(int units) const;
    int Y(int units) const;
    QPoint Point(const DlgPoint& point) const { return {X(point.x), Y(point.y)}; }
    QSize Size(int width, int height) const { return {X(width), Y(height)}; }
    QRect Rect(const DlgRect& rect) const;

private:
    int m_baseX;
    int m_baseY;
};

}  // namespace vok
