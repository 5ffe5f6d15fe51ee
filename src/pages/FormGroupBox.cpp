#include "pages/FormGroupBox.h"

#include <QPainter>

namespace vok {

FormGroupBox::FormGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

void FormGroupBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const QPalette& colors = palette();

    // Etched: a shadow line with a highlight line just inside it.
    const QRect frame = rect().adjusted(0, metrics.height() / 2, -1, -1);
    painter.setPen(colors.color(QPalette::Light));
    painter.drawRect(frame.adjusted(1, 1, 0, 0));
    painter.setPen(colors.color(QPalette::Dark));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));

    // The title covers the frame line where it stands, one character in.
    const QString caption = title();
    if (caption.isEmpty()) {
        return;
    }
    const QRect titleRect(metrics.averageCharWidth(), 0, metrics.horizontalAdvance(caption),
                          metrics.height());
    painter.fillRect(titleRect, colors.color(QPalette::Window));
    painter.setPen(
        colors.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
}

}  // namespace vok
