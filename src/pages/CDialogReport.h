#pragma once

#include <optional>
#include <string>

#include "platform/DataFolder.h"
#include "platform/DesktopShell.h"
#include "platform/MessageBoxService.h"

namespace vok {

// The report view: turns one report file into its HTML report in the REPORT
// folder and hands the page to the browser. It has no window of its own; the
// caller gets control back as soon as the browser has been asked.
class CDialogReport {
public:
    CDialogReport(const DataFolder& folder, MessageBoxService& messages, DesktopShell& shell);

    // Renders m_strReportPath afresh and opens the page. The page's path, or
    // nothing when the report could not be read or the page not written; the
    // user has then been told why.
    std::optional<std::string> Show();

    // The "file://" address the browser is given for a page.
    static std::string PageUrl(const std::string& htmlPath);

    std::string m_strReportName;  // name without folder
    std::string m_strReportPath;  // full path

private:
    const DataFolder& m_folder;
    MessageBoxService& m_messages;
    DesktopShell& m_shell;
};

}  // namespace vok
