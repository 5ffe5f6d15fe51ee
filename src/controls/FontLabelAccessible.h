#pragma once

#include <QAccessibleWidget>

namespace vok {

class CFontLabel;

// A font label as a screen reader sees it: static text whose name is the
// text exactly as drawn ("&" included, no mnemonic taken out of it).
class FontLabelAccessible : public QAccessibleWidget {
public:
    explicit FontLabelAccessible(CFontLabel* label);

    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;

private:
    CFontLabel* Label() const;
};

}  // namespace vok
