#pragma once

#include <QPixmap>
#include <QPushButton>

namespace vok {

// The side of a button's icon, in pixels.
inline constexpr int kButtonIconSize = 32;

// A flat push button with an icon beside its caption: a raised border while
// the mouse is over it, a sunken one while pressed, a dotted frame inside
// while it has the keyboard focus.
class CIconButton : public QPushButton {
    Q_OBJECT

public:
    explicit CIconButton(const QString& caption, QWidget* parent = nullptr);

    // Gives the button icon resource `id` at its natural size; false (and no
    // icon) when there is no such icon.
    bool SetIcon(int id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool HasIcon() const { return m_iconId != 0; }
    // Where the icon and the caption are drawn, before a press shifts them.
    QRect IconRect() const;
    QRect CaptionRect() const;
    void SetHovered(bool hovered);
    QPixmap RenderIcon() const;

    int m_iconId = 0;
    QPixmap m_icon;
    bool m_hovered = false;
};

}  // namespace vok
