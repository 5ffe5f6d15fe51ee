#include "platform/QtDesktopShell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

namespace vok {

QtDesktopShell::QtDesktopShell(QWidget* owner) : m_owner(owner) {}

void QtDesktopShell::OpenUrl(const std::string& url) {
    QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(url)));
}

void QtDesktopShell::PlayErrorSound(const std::filesystem::path& file) {
    if (!m_sound.Play(file)) {
        QApplication::beep();
    }
}

QStringList QtDesktopShell::NameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        if (description.isEmpty()) {
            continue;
        }
        // Qt takes the patterns from the parentheses of the description.
        filters << (description.contains('(') ? description
                                              : description + " (" + parts[i + 1] + ")");
    }
    return filters;
}

std::optional<std::filesystem::path> QtDesktopShell::ChooseFileToOpen(const FileChoice& choice) {
    QFileDialog dialog(m_owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDirectory(QString::fromStdString(choice.folder.string()));
    dialog.setNameFilters(NameFilters(choice.filter));
    dialog.setDefaultSuffix(QString::fromStdString(choice.defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(dialog.selectedFiles().front().toStdString());
}

void QtDesktopShell::ExitProcess() {
    // Leaves every event loop, the modal ones included; main() then returns
    // 0 after the main dialog has stopped the acquisition.
    QCoreApplication::exit(0);
}

}  // namespace vok
