#include "platform/QtMessageBoxService.h"

#include <algorithm>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "platform/MessageBoxService.h"

namespace vok {

namespace {

// Lines up to this many average characters stand on one line; every text
// of the program's own is shorter. Only a system's error text may be longer.
constexpr int kOneLineChars = 100;

QString Title() {
    return QString::fromUtf8(kMainDialogTemplateCaption.data(), kMainDialogTemplateCaption.size());
}

// QMessageBox wraps any text wider than about 500 pixels at that width,
// which leaves a lone "?" or "Continue ?" on a second line. A label that
// asks for its whole line makes the box grow to it instead, up to a share of
// the widest box Qt allows on the screen (beyond that Qt would break the
// text inside words).
void FitTextOnOneLine(QMessageBox& box, const QWidget* owner) {
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (label == nullptr) {
        return;
    }
    const QFontMetrics metrics(label->font());
    int widest = 0;
    for (const QString& line : label->text().split(QLatin1Char('\n'))) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    int limit = metrics.averageCharWidth() * kOneLineChars;
    if (screen != nullptr) {
        const int available = screen->availableGeometry().width();
        const int widestBox = available <= 1024 ? available : std::min(available - 480, 1000);
        limit = std::min(limit, widestBox * 4 / 5);
    }
    // One character more than the line: the label's own layout rounds.
    label->setMinimumWidth(std::min(widest + metrics.averageCharWidth(), limit));
}

}  // namespace

QtMessageBoxService::QtMessageBoxService(QWidget* owner) : m_owner(owner) {}

std::unique_ptr<QMessageBox> QtMessageBoxService::MakeBox(const std::string& text,
                                                          QMessageBox::StandardButtons buttons,
                                                          QWidget* owner) {
    // No icon: the text's own "NOTICE : " or "ERROR : " says what it is.
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, Title(),
                                             QString::fromLocal8Bit(text.c_str()), buttons, owner);
    // A system's error text may hold a path with "<" in it: never markup.
    box->setTextFormat(Qt::PlainText);
    if (buttons.testFlag(QMessageBox::Yes)) {
        box->setDefaultButton(QMessageBox::Yes);
    }
    FitTextOnOneLine(*box, owner);
    return box;
}

bool QtMessageBoxService::Ask(const std::string& text) {
    const auto box = MakeBox(text, QMessageBox::Yes | QMessageBox::No, m_owner);
    return box->exec() == QMessageBox::Yes;
}

void QtMessageBoxService::Notify(const std::string& text) {
    MakeBox(text, QMessageBox::Ok, m_owner)->exec();
}

}  // namespace vok
