#include "pages/CDialogReport.h"

#include <QString>
#include <QUrl>

#include "app/CDiagnosisDlg.h"
#include "core/UserMessages.h"
#include "report/HtmlReportFile.h"

namespace vok {

CDialogReport::CDialogReport(CDiagnosisDlg& owner) : m_owner(owner) {}

std::optional<std::string> CDialogReport::DoModal() {
    const Result<std::string> page =
        HtmlReportFile::RenderReportFile(m_strReportPath, m_owner.Folder());
    if (!page) {
        // A page that was never written must not look like a report that
        // opened: the browser would show an old page or nothing at all.
        m_owner.Messages().Notify(std::string(kErrorMessagePrefix) + page.error());
        return std::nullopt;
    }
    m_owner.Shell().OpenUrl(PageUrl(*page));
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
