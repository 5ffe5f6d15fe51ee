#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace vok {

// A smooth progress bar that writes its text and the rounded percentage over
// itself, each character in the colour that suits what lies under it.
class CTextProgressCtrl : public QWidget {
    Q_OBJECT

public:
    explicit CTextProgressCtrl(QWidget* parent = nullptr);

    // Stored clamped into the range and painted at once; returns the
    // previous position.
    int SetPos(int position);
    int GetPos() const { return m_position; }
    void SetRange32(int lower, int upper);
    int GetLower() const { return m_lower; }
    int GetUpper() const { return m_upper; }

    // Colours of the part beyond the position and of the text over it; until
    // set, the system's.
    void SetBkColor(QColor color);
    void SetTextBkColor(QColor color);

    void setText(const QString& text);
    QString text() const { return m_text; }

    // What the bar shows: its text and the rounded percentage.
    QString DisplayText() const;
    int Percent() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void RepaintNow();

    int m_position = 0;
    int m_lower = 0;
    int m_upper;
    QColor m_bkColor;
    QColor m_textBkColor;
    QString m_text;
};

}  // namespace vok
