#include "controls/CIconButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QIcon>
#include <QPainter>
#include <QStyle>

#include "resources/Icons.h"

namespace vok {

namespace {

// Icon button drawing.
constexpr int kIconButtonIconGap = 3;
constexpr int kIconButtonPressOffset = 1;

constexpr int kCaptionFlags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
// The focus mark's distance from the edge, inside the hover border.
constexpr int kFocusMarkInset = 2;

}  // namespace

CIconButton::CIconButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover, false);
}

bool CIconButton::SetIcon(int id) {
    m_iconId = Icons::Exists(id) ? id : 0;
    m_icon = RenderIcon();
    if (m_icon.isNull()) {
        m_iconId = 0;
    }
    update();
    return m_iconId != 0;
}

QPixmap CIconButton::RenderIcon() const {
    if (m_iconId == 0) {
        return {};
    }
    return Icons::Pixmap(m_iconId, kButtonIconSize, devicePixelRatioF());
}

QRect CIconButton::IconRect() const {
    if (!HasIcon()) {
        return {};
    }
    const QSize size(kButtonIconSize, kButtonIconSize);
    if (text().isEmpty()) {
        return QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    }
    return QRect(QPoint(kIconButtonIconGap, (height() - size.height()) / 2), size);
}

QRect CIconButton::CaptionRect() const {
    if (!HasIcon()) {
        return rect();
    }
    const QRect icon = IconRect();
    return QRect(QPoint(icon.right() + 1, 0), QPoint(width() - 1, height() - 1));
}

void CIconButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QPalette& colors = palette();
    const bool pressed = isDown();
    const bool enabled = isEnabled();
    const QRect area = rect();

    painter.fillRect(area, colors.color(QPalette::Button));

    // Border: raised under the mouse, sunken while pressed.
    const bool raised = m_hovered && !pressed;
    if (raised || pressed) {
        const QColor light = colors.color(QPalette::Light);
        const QColor shadow = colors.color(QPalette::Dark);
        const QColor topLeft = pressed ? shadow : light;
        const QColor bottomRight = pressed ? light : shadow;
        painter.setPen(topLeft);
        painter.drawLine(area.topLeft(), area.topRight());
        painter.drawLine(area.topLeft(), area.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(area.bottomLeft(), area.bottomRight());
        painter.drawLine(area.topRight(), area.bottomRight());
    }

    if (HasIcon() && !qFuzzyCompare(m_icon.devicePixelRatio(), devicePixelRatioF())) {
        m_icon = RenderIcon();  // moved to a screen of another pixel ratio
    }
    const QPoint shift =
        pressed ? QPoint(kIconButtonPressOffset, kIconButtonPressOffset) : QPoint();
    if (HasIcon()) {
        const QRect iconRect = IconRect().translated(shift);
        if (enabled) {
            painter.drawPixmap(iconRect, m_icon);
        } else {
            const QPixmap grey =
                QIcon(m_icon).pixmap(iconRect.size(), devicePixelRatioF(), QIcon::Disabled);
            painter.drawPixmap(iconRect, grey);
        }
    }

    if (hasFocus()) {
        // What Enter and Space will press, however the focus came here: a
        // dotted frame inside the border, so hover and focus never look alike.
        QPen dots(colors.color(QPalette::ButtonText));
        dots.setStyle(Qt::DotLine);
        painter.setPen(dots);
        painter.drawRect(area.adjusted(kFocusMarkInset, kFocusMarkInset, -kFocusMarkInset - 1,
                                       -kFocusMarkInset - 1));
    }

    const QString caption = text();
    if (!caption.isEmpty()) {
        const QRect captionRect = CaptionRect().translated(shift);
        if (enabled) {
            painter.setPen(colors.color(QPalette::ButtonText));
            painter.drawText(captionRect, kCaptionFlags, caption);
        } else {
            // Embossed: a highlight one pixel down and right, the shadow on top.
            painter.setPen(colors.color(QPalette::Light));
            painter.drawText(captionRect.translated(1, 1), kCaptionFlags, caption);
            painter.setPen(colors.color(QPalette::Dark));
            painter.drawText(captionRect, kCaptionFlags, caption);
        }
    }
}

void CIconButton::SetHovered(bool hovered) {
    if (m_hovered != hovered) {
        m_hovered = hovered;
        update();
    }
}

void CIconButton::enterEvent(QEnterEvent* event) {
    // A drag that started elsewhere does not light the button.
    if (!(event->buttons() & Qt::LeftButton)) {
        SetHovered(true);
    }
    QPushButton::enterEvent(event);
}

void CIconButton::leaveEvent(QEvent* event) {
    SetHovered(false);
    QPushButton::leaveEvent(event);
}

void CIconButton::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || m_hovered) {
        SetHovered(rect().contains(event->position().toPoint()));
    }
    QPushButton::mouseMoveEvent(event);
}

void CIconButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second click of a double-click is another click.
    mousePressEvent(event);
}

void CIconButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        m_icon = RenderIcon();
        update();
    }
    QPushButton::changeEvent(event);
}

}  // namespace vok
