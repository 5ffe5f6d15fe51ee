#include "platform/QtMessageBoxService.h"

#include <QMessageBox>

#include "platform/MessageBoxService.h"

namespace vok {

namespace {

// The texts carry their own "NOTICE : " or "ERROR : " prefix; the icon only
// repeats what the prefix says.
QMessageBox::Icon IconFor(const std::string& text) {
    return text.rfind("ERROR", 0) == 0 ? QMessageBox::Critical : QMessageBox::Information;
}

QString Title() {
    return QString::fromUtf8(kMainDialogTemplateCaption.data(), kMainDialogTemplateCaption.size());
}

}  // namespace

QtMessageBoxService::QtMessageBoxService(QWidget* owner) : m_owner(owner) {}

bool QtMessageBoxService::Ask(const std::string& text) {
    QMessageBox box(QMessageBox::Question, Title(), QString::fromLocal8Bit(text.c_str()),
                    QMessageBox::Yes | QMessageBox::No, m_owner);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void QtMessageBoxService::Notify(const std::string& text) {
    QMessageBox box(IconFor(text), Title(), QString::fromLocal8Bit(text.c_str()), QMessageBox::Ok,
                    m_owner);
    box.exec();
}

}  // namespace vok
