#pragma once

#include <memory>
#include <string>

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include "platform/MessageBoxService.h"

namespace vok {

// Questions and notices as QMessageBox dialogs over the main window.
class QtMessageBoxService : public MessageBoxService {
public:
    // The owner may be set later (the main window does not exist yet when the
    // services are made); without one the boxes are centred on the screen.
    explicit QtMessageBoxService(QWidget* owner = nullptr);

    void SetOwner(QWidget* owner) { m_owner = owner; }

    bool Ask(const std::string& text) override;
    void Notify(const std::string& text) override;

    // The box that Ask (Yes and No) or Notify (OK) shows, not yet shown: no
    // icon, the text as plain text, wide enough for the program's own
    // messages to stand on one line; only a longer text wraps.
    static std::unique_ptr<QMessageBox> MakeBox(const std::string& text,
                                                QMessageBox::StandardButtons buttons,
                                                QWidget* owner);

private:
    QPointer<QWidget> m_owner;
};

}  // namespace vok
