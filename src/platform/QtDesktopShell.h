#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/DesktopShell.h"
#include "platform/ErrorSound.h"

namespace vok {

// The desktop as Qt and libcanberra offer it.
class QtDesktopShell : public DesktopShell {
public:
    explicit QtDesktopShell(QWidget* owner = nullptr);

    void SetOwner(QWidget* owner) { m_owner = owner; }

    void OpenUrl(const std::string& url) override;
    void PlayErrorSound(const std::filesystem::path& file) override;
    std::optional<std::filesystem::path> ChooseFileToOpen(const FileChoice& choice) override;
    void ExitProcess() override;

    // "Description(*.EXT)|*.EXT|" pairs as a Qt name filter list.
    static QStringList NameFilters(const std::string& filter);

private:
    QPointer<QWidget> m_owner;
    ErrorSound m_sound;
};

}  // namespace vok
