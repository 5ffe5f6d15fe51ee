#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/Result.h"
#include "platform/DataFolder.h"
#include "report/DefinitionFile.h"
#include "report/ReportData.h"

namespace vok {

struct CalibrationGroup;
struct CalibrationItem;

// The report view's core: one report file read back and written out as the
// HTML page the service center reads, one line without line breaks. The
// GUI's report view and `vok report` both go through RenderReportFile; tests
// and tools that want the page as text use RenderHtml.
//
// Texts that come from the report file or the generator are HTML-escaped on
// the way into the page; the program's own texts and the definition file's
// texts are written as they are.
class ReportRenderer {
public:
    // The view of the report file at reportPath (read by ReadReportFile).
    explicit ReportRenderer(std::string reportPath);
    // A report already in memory, with its definitions.
    ReportRenderer(ReportData report, DefinitionFile definitions);

    // Reads m_strReportPath. A file that cannot be read leaves the view as
    // an empty report (every parameter 255) and says why; a readable file
    // never fails, whatever it holds.
    Status ReadReportFile();
    // Loads the definition file afresh; a missing file gives empty texts.
    void LoadDefinitions(const std::string& defineFile);

    const std::string& ReportPath() const { return m_strReportPath; }
    const std::string& ReportName() const { return m_strReportName; }
    const ReportData& Report() const { return m_Report; }
    const DefinitionFile& Definitions() const { return m_Definitions; }

    // The whole page, head to tail.
    std::string RenderHtml() const;

    // The page's parts, each appended to out in the page's own order.
    void WriteHtmlHead(std::string& out) const;
    void WriteSystemTable(std::string& out) const;
    void WriteUserTable(std::string& out) const;
    void WriteServiceTable(std::string& out) const;
    void WriteFilamentKvTable(std::string& out) const;
    void WriteAecTable(std::string& out) const;
    void WriteMaCalibrationHistory(std::string& out) const;
    void WriteFocusCalibrationTables(std::string& out) const;
    // The Error Infomation table of the entry whose first record is given
    // (113 + 2i); nothing when the entry's two records are not in the table.
    void WriteErrorTable(std::string& out, int firstRecord) const;
    // The Protocol table of block b (CMD_INFO records 25b + 1 to 25b + 25);
    // nothing unless b is below the protocol log count, at most 9 blocks.
    void WriteProtocolTable(std::string& out, int block) const;
    void WriteHtmlTail(std::string& out) const;

    // The HTML name of a report file name: every ".VOK" (in any case)
    // becomes ".html", and a name without one gets ".html" appended, so the
    // page can never take the report file's own name.
    static std::string HtmlFileName(std::string_view reportName);

    // Reads the report file, renders it with the definitions as they are now
    // and writes the page to htmlPath, replacing an older page. Returns
    // htmlPath, or why the report could not be read or the page not written.
    // Refuses an htmlPath that is the report file itself.
    static Result<std::string> RenderReportFile(const std::string& reportPath,
                                                const std::string& htmlPath,
                                                const std::string& defineFile);
    // The same into the data folder's REPORT folder (created when missing),
    // with the data folder's definition file: what the wizard and `vok
    // report` do by default.
    static Result<std::string> RenderReportFile(const std::string& reportPath,
                                                const DataFolder& folder);

private:
    // Parameter n (1 to 10) of HT_INFO record k, or of CMD_INFO record k.
    int Ht(int k, int n) const;
    int Cmd(int k, int n) const;
    void WriteCalibrationTable(std::string& out, std::string_view title,
                               std::span<const CalibrationGroup> groups,
                               std::span<const CalibrationItem> items) const;
    void WriteFocusTable(std::string& out, int firstRecord, bool small) const;
    void WriteLogTables(std::string& out) const;

    std::string m_strReportPath;
    std::string m_strReportName;
    ReportData m_Report;
    DefinitionFile m_Definitions;
};

}  // namespace vok
