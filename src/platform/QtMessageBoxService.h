#pragma once

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

private:
    QPointer<QWidget> m_owner;
};

}  // namespace vok
