#include "pages/CDialogReport.h"

#include <QString>
#include <QUrl>

#include "core/UserMessages.h"
#include "report/HtmlReportFile.h"

namespace vok {

CDialogReport::CDialogReport(const DataFolder& folder, MessageBoxService& messages,
                             DesktopShell& shell)
    : m_folder(folder), m_messages(messages), m_shell(shell) {}

std::optional<std::string> CDialogReport::Show() {
    const Result<std::string> page = HtmlReportFile::RenderReportFile(m_strReportPath, m_folder);
    if (!page) {
        // A page that was never written must not look like a report that
        // opened: the browser would show an old page or nothing at all.
        m_messages.Notify(std::string(kErrorMessagePrefix) + page.error());
        return std::nullopt;
    }
    m_shell.OpenUrl(PageUrl(*page));
    return *page;
}

std::string CDialogReport::PageUrl(const std::string& htmlPath) {
    // Encoded, so that a blank, "#" or "?" in a folder name stays part of the
    // path instead of ending it.
    return QUrl::fromLocalFile(
               QString::fromLocal8Bit(htmlPath.data(), static_cast<qsizetype>(htmlPath.size())))
        .toString(QUrl::FullyEncoded)
        .toStdString();
}

}  // namespace vok
