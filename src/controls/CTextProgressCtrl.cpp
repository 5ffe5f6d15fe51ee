#include "controls/CTextProgressCtrl.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QPainter>

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
    : QWidget(parent), m_upper(kProgressDefaultUpper), m_step(kProgressDefaultStep) {
    // The painting covers every pixel; nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int CTextProgressCtrl::SetPos(int position) {
    const int previous = m_position;
    m_position = m_lower <= m_upper ? std::clamp(position, m_lower, m_upper) : position;
    RepaintNow();
    return previous;
}

int CTextProgressCtrl::DeltaPos(int delta) {
    return SetPos(m_position + delta);
}

int CTextProgressCtrl::StepIt() {
    int next = m_position + m_step;
    if (next > m_upper) {
        next = m_lower + (next - m_upper);
    } else if (next < m_lower) {
        next = m_upper - (m_lower - next);
    }
    return SetPos(next);
}

int CTextProgressCtrl::SetStep(int step) {
    return std::exchange(m_step, step);
}

std::uint32_t CTextProgressCtrl::SetRange(std::int16_t lower, std::int16_t upper) {
    const ProgressRange previous = SetRange32(lower, upper);
    return static_cast<std::uint16_t>(previous.lower) |
           (static_cast<std::uint32_t>(static_cast<std::uint16_t>(previous.upper)) << 16);
}

ProgressRange CTextProgressCtrl::SetRange32(int lower, int upper) {
    const ProgressRange previous{m_lower, m_upper};
    m_lower = lower;
    m_upper = upper;
    update();
    return previous;
}

// The colour setters store first and then paint, so the new colour shows at
// once rather than from some later painting on.
QColor CTextProgressCtrl::ReplaceColor(QColor& slot, QColor color) {
    const QColor previous = std::exchange(slot, color);
    RepaintNow();
    return previous;
}

QColor CTextProgressCtrl::SetBarColor(QColor color) {
    return ReplaceColor(m_barColor, color);
}

QColor CTextProgressCtrl::SetBkColor(QColor color) {
    return ReplaceColor(m_bkColor, color);
}

QColor CTextProgressCtrl::SetTextBkColor(QColor color) {
    return ReplaceColor(m_textBkColor, color);
}

QColor CTextProgressCtrl::SetTextForeColor(QColor color) {
    return ReplaceColor(m_textForeColor, color);
}

QColor CTextProgressCtrl::GetBarColor() const {
    return Stored(m_barColor, palette().color(QPalette::Highlight));
}

QColor CTextProgressCtrl::GetBkColor() const {
    return Stored(m_bkColor, palette().color(QPalette::Button));
}

QColor CTextProgressCtrl::GetTextBkColor() const {
    return Stored(m_textBkColor, palette().color(QPalette::Text));
}

QColor CTextProgressCtrl::GetTextForeColor() const {
    return Stored(m_textForeColor, palette().color(QPalette::Base));
}

bool CTextProgressCtrl::SetShowPercent(bool show) {
    const bool previous = std::exchange(m_showPercent, show);
    RepaintNow();
    return previous;
}

CTextProgressCtrl::TextAlign CTextProgressCtrl::SetTextAlign(TextAlign align) {
    const TextAlign previous = std::exchange(m_align, align);
    RepaintNow();
    return previous;
}

void CTextProgressCtrl::setText(const QString& text) {
    m_text = text;
    update();
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
    QString shown = m_text;
    if (m_showPercent) {
        shown += QString::asprintf(kPercentFormat.data(), Percent());
    }
    return shown;
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
    painter.fillRect(bar, GetBarColor());
    painter.fillRect(rest, GetBkColor());

    const QString shown = m_lower < m_upper ? DisplayText() : QString();
    if (!shown.isEmpty()) {
        painter.setFont(font());
        QRect textArea = inner;
        int align = Qt::AlignVCenter | Qt::TextSingleLine;
        switch (m_align) {
            case TextAlign::Left:
                textArea.adjust(kProgressLeftInset, 0, 0, 0);
                align |= Qt::AlignLeft;
                break;
            case TextAlign::Right:
                textArea.adjust(0, 0, -kProgressRightInset, 0);
                align |= Qt::AlignRight;
                break;
            case TextAlign::Centre:
                align |= Qt::AlignHCenter;
                break;
        }
        painter.setClipRect(bar);
        painter.setPen(GetTextForeColor());
        painter.drawText(textArea, align, shown);
        painter.setClipRect(rest);
        painter.setPen(GetTextBkColor());
        painter.drawText(textArea, align, shown);
    }
}

}  // namespace vok
