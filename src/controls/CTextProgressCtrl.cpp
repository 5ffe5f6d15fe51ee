#include "controls/CTextProgressCtrl.h"

#include <algorithm>
#include <cmath>

#include <QAccessible>
#include <QPainter>

#include "controls/ControlAccessibility.h"

namespace vok {

namespace {

constexpr int kProgressDefaultUpper = 100;
constexpr int kProgressDefaultStep = 10;
constexpr std::string_view kPercentFormat = "%d%%";
constexpr int kProgressLeftInset = 2;
constexpr int kProgressRightInset = 3;

QColor Stored(const QColor& stored, const QColor& system) {
    return stored.isValid() ? stored : system;
}

}  // namespace

CTextProgressCtrl::CTextProgressCtrl(QWidget* parent)
    : QWidget(parent), m_upper(kProgressDefaultUpper) {
    // The painting covers every pixel; nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    ControlAccessibility::Install();
}

int CTextProgressCtrl::SetPos(int position) {
    const int previous = m_position;
    m_position = m_lower <= m_upper ? std::clamp(position, m_lower, m_upper) : position;
    RepaintNow();
    if (m_position != previous) {
        // A screen reader tells the progress while the diagnosis runs.
        QAccessibleValueChangeEvent changed(this, m_position);
        QAccessible::updateAccessibility(&changed);
    }
    return previous;
}

void CTextProgressCtrl::SetRange32(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
    update();
}

// The colour setters store first and then paint, so the new colour shows at
// once rather than from some later painting on.
void CTextProgressCtrl::SetBkColor(QColor color) {
    m_bkColor = color;
    RepaintNow();
}

void CTextProgressCtrl::SetTextBkColor(QColor color) {
    m_textBkColor = color;
    RepaintNow();
}

void CTextProgressCtrl::setText(const QString& text) {
    m_text = text;
    update();
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

int CTextProgressCtrl::Percent() const {
    if (m_lower >= m_upper) {
        return 0;
    }
    const double fraction =
        static_cast<double>(m_position - m_lower) / static_cast<double>(m_upper - m_lower);
    return static_cast<int>(std::lround(fraction * 100.0));
}

QString CTextProgressCtrl::DisplayText() const {
    return m_text + QString::asprintf(kPercentFormat.data(), Percent());
}

void CTextProgressCtrl::RepaintNow() {
    // Visible at once, even while the caller keeps the GUI thread busy.
    if (isVisible()) {
        repaint();
    }
}

void CTextProgressCtrl::paintEvent(QPaintEvent* /*event*/) {
    // Qt's backing store already paints off screen, so the bar never flickers.
    QPainter painter(this);
    QRect inner = rect();

    // A flat sunken edge: the shadow line outside, the face colour inside.
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(inner.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Button));
    painter.drawRect(inner.adjusted(1, 1, -2, -2));
    inner.adjust(2, 2, -2, -2);

    double fraction = 0.0;
    if (m_lower < m_upper) {
        fraction = static_cast<double>(std::clamp(m_position, m_lower, m_upper) - m_lower) /
                   static_cast<double>(m_upper - m_lower);
    }
    const int barWidth = static_cast<int>(inner.width() * fraction);
    const QRect bar(inner.left(), inner.top(), barWidth, inner.height());
    const QRect rest(inner.left() + barWidth, inner.top(), inner.width() - barWidth,
                     inner.height());
    painter.fillRect(bar, palette().color(QPalette::Highlight));
    painter.fillRect(rest, Stored(m_bkColor, palette().color(QPalette::Button)));

    const QString shown = m_lower < m_upper ? DisplayText() : QString();
    if (!shown.isEmpty()) {
        painter.setFont(font());
        const int align = Qt::AlignCenter | Qt::TextSingleLine;
        painter.setClipRect(bar);
        painter.setPen(palette().color(QPalette::Base));
        painter.drawText(inner, align, shown);
        painter.setClipRect(rest);
        painter.setPen(Stored(m_textBkColor, palette().color(QPalette::Text)));
        painter.drawText(inner, align, shown);
    }
}

}  // namespace vok
