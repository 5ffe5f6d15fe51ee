#pragma once

#include <QGroupBox>

namespace vok {

// The group box of a form template: an etched frame whose top line runs
// through the middle of the title, with the title at the top of the box's
// place, whatever the style would do with a QGroupBox.
class FormGroupBox : public QGroupBox {
    Q_OBJECT

public:
    explicit FormGroupBox(const QString& title, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace vok
