#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

namespace vok {

class CTextProgressCtrl;

// A text progress bar as a screen reader sees it: a progress bar named by its
// text, with its position, bounds and percentage, and what it shows (text and
// percentage) as its description.
class TextProgressAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TextProgressAccessible(CTextProgressCtrl* bar);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;

    QVariant currentValue() const override;
    // The bar only shows progress; nobody sets it from outside.
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    CTextProgressCtrl* Bar() const;
};

}  // namespace vok
