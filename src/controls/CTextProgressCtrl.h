#pragma once

#include <cstdint>

#include <QColor>
#include <QString>
#include <QWidget>

namespace vok {

// The bounds of a progress bar.
struct ProgressRange {
    int lower = 0;
    int upper = 0;
    bool operator==(const ProgressRange&) const = default;
};

// A smooth progress bar that writes its text and the rounded percentage over
// itself, each character in the colour that suits what lies under it.
class CTextProgressCtrl : public QWidget {
    Q_OBJECT

public:
    enum class TextAlign { Left = 0, Centre = 1, Right = 2 };

    explicit CTextProgressCtrl(QWidget* parent = nullptr);

    // Position: stored clamped into the range, painted at once; each returns
    // the previous position.
    int SetPos(int position);
    int DeltaPos(int delta);
    // Adds the step; past a bound the position wraps round to the other side.
    int StepIt();
    int SetStep(int step);
    int GetPos() const { return m_position; }

    // Bounds. SetRange packs the previous bounds as the 16-bit message did
    // (low word lower, high word upper); SetRange32 hands them back whole.
    std::uint32_t SetRange(std::int16_t lower, std::int16_t upper);
    ProgressRange SetRange32(int lower, int upper);
    ProgressRange GetRange() const { return {m_lower, m_upper}; }

    // Colours: each setter returns the previously stored colour (invalid when
    // none was set); each getter the colour in use, the system's when unset.
    QColor SetBarColor(QColor color);
    QColor SetBkColor(QColor color);
    QColor SetTextBkColor(QColor color);    // text over the background
    QColor SetTextForeColor(QColor color);  // text over the bar
    QColor GetBarColor() const;
    QColor GetBkColor() const;
    QColor GetTextBkColor() const;
    QColor GetTextForeColor() const;

    bool SetShowPercent(bool show);
    TextAlign SetTextAlign(TextAlign align);

    void setText(const QString& text);
    QString text() const { return m_text; }

    // What the bar shows: its text and, when asked for, the rounded percentage.
    QString DisplayText() const;
    int Percent() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void RepaintNow();
    // Stores a colour, repaints, and hands back the colour it replaced.
    QColor ReplaceColor(QColor& slot, QColor color);

    int m_position = 0;
    int m_lower = 0;
    int m_upper;
    int m_step;
    QColor m_barColor;
    QColor m_bkColor;
    QColor m_textBkColor;
    QColor m_textForeColor;
    bool m_showPercent = true;
    TextAlign m_align = TextAlign::Centre;
    QString m_text;
};

}  // namespace vok
