#pragma once

#include <optional>
#include <string_view>

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

namespace vok {

// Told once when the label's font cannot be made.
inline constexpr std::string_view kMsgFontNotCreated = "Font could not be created!";

// The face a label has until it is given one.
inline constexpr std::string_view kLabelDefaultFace = "MS Sans Serif";

class MessageBoxService;

// A static text that paints its text with a font, colours and alignment the
// page chooses, word-wrapped over the whole control, "&" drawn as it is.
class CFontLabel : public QWidget {
    Q_OBJECT

public:
    // Style bits of SetFont; a set bit turns its flag on, a clear one leaves it.
    static constexpr int kBold = 1;
    static constexpr int kItalic = 2;
    static constexpr int kUnderline = 4;
    static constexpr int kStrikeOut = 8;
    static constexpr int kAntialiased = 16;
    static constexpr int kAlignCentre = 32;
    static constexpr int kAlignLeft = 64;
    static constexpr int kAlignRight = 128;

    enum class Alignment { Left, Centre, Right };

    explicit CFontLabel(QWidget* parent = nullptr);

    // Face, cell height in pixels, text colour and style bits. The alignment
    // is set anew by every call: centre, else right, else left.
    void SetFont(const QString& face, int height, QColor textColor, int style);
    void SetBkColor(QColor color);

    void setText(const QString& text);
    QString text() const { return m_text; }

    // Where "Font could not be created!" goes; none: it is not shown.
    void SetMessageBoxService(MessageBoxService* messages) { m_messages = messages; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor BackgroundInUse() const;
    // The font the next painting uses; nothing when the face cannot be made.
    std::optional<QFont> MakeFont() const;

    QString m_text;
    QString m_face;
    int m_height;
    QColor m_textColor{Qt::black};
    QColor m_bkColor;
    bool m_hasBackground = false;
    bool m_bold = false;
    bool m_italic = false;
    bool m_underline = false;
    bool m_strikeOut = false;
    bool m_antialiased = false;
    Alignment m_alignment = Alignment::Left;
    MessageBoxService* m_messages = nullptr;
    bool m_fontFailureTold = false;
};

}  // namespace vok
