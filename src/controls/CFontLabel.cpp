#include "controls/CFontLabel.h"

#include <algorithm>

#include <QAccessible>
#include <QFontMetrics>
#include <QPainter>

#include "controls/ControlAccessibility.h"
#include "platform/MessageBoxService.h"

namespace vok {

namespace {

constexpr int kLabelDefaultHeight = 8;

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), text.size());
}

}  // namespace

CFontLabel::CFontLabel(QWidget* parent)
    : QWidget(parent), m_face(ToQString(kLabelDefaultFace)), m_height(kLabelDefaultHeight) {
    ControlAccessibility::Install();
}

void CFontLabel::SetFont(const QString& face, int height, QColor textColor, int style) {
    m_face = face;
    m_height = height;
    m_textColor = textColor;
    m_fontFailureTold = false;
    m_bold = m_bold || (style & kBold) != 0;
    m_italic = m_italic || (style & kItalic) != 0;
    m_underline = m_underline || (style & kUnderline) != 0;
    m_strikeOut = m_strikeOut || (style & kStrikeOut) != 0;
    m_antialiased = m_antialiased || (style & kAntialiased) != 0;
    if ((style & kAlignCentre) != 0) {
        m_alignment = Alignment::Centre;
    } else if ((style & kAlignRight) != 0) {
        m_alignment = Alignment::Right;
    } else {
        m_alignment = Alignment::Left;
    }
    update();
}

void CFontLabel::SetBkColor(QColor color) {
    m_bkColor = color;
    m_hasBackground = true;
    update();
}

void CFontLabel::setText(const QString& text) {
    m_text = text;
    update();
    // The status lines of an acquisition reach a screen reader as they come.
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

QColor CFontLabel::BackgroundInUse() const {
    return m_hasBackground ? m_bkColor : palette().color(QPalette::Button);
}

std::optional<QFont> CFontLabel::MakeFont() const {
    if (m_face.isEmpty() || m_height <= 0) {
        return std::nullopt;
    }
    QFont font(m_face);
    font.setWeight(m_bold ? QFont::Black : QFont::Normal);
    font.setItalic(m_italic);
    font.setUnderline(m_underline);
    font.setStrikeOut(m_strikeOut);
    font.setStyleStrategy(m_antialiased ? QFont::PreferAntialias : QFont::PreferDefault);
    // The height is the character cell (ascent plus descent), as the panels'
    // texts were laid out for; Qt sizes a font by its em, which is smaller.
    font.setPixelSize(m_height);
    const int cell = QFontMetrics(font).height();
    if (cell > m_height) {
        font.setPixelSize(std::max(1, m_height * m_height / cell));
    }
    return font;
}

void CFontLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect area = rect();
    painter.fillRect(area, BackgroundInUse());

    const std::optional<QFont> font = MakeFont();
    if (!font) {
        // Told once per font setting, after the painting: a modal box from
        // inside a paint would repaint the label and ask again, for ever.
        if (m_messages != nullptr && !m_fontFailureTold) {
            m_fontFailureTold = true;
            QMetaObject::invokeMethod(
                this, [this] { m_messages->Notify(std::string(kMsgFontNotCreated)); },
                Qt::QueuedConnection);
        }
        return;
    }
    painter.setFont(*font);
    painter.setPen(m_textColor);
    int flags = Qt::AlignTop | Qt::TextWordWrap;
    switch (m_alignment) {
        case Alignment::Centre:
            flags |= Qt::AlignHCenter;
            break;
        case Alignment::Right:
            flags |= Qt::AlignRight;
            break;
        case Alignment::Left:
            flags |= Qt::AlignLeft;
            break;
    }
    // Without Qt::TextShowMnemonic an "&" is drawn as it is.
    painter.drawText(area, flags, m_text);
}

}  // namespace vok
