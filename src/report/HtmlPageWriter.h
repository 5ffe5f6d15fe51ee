#pragma once

#include <span>
#include <string>
#include <string_view>

#include "report/DefinitionFile.h"
#include "report/ReportData.h"

namespace vok {

struct CalibrationGroup;
struct CalibrationItem;

// The page behind RenderHtml, written by one writer per table, each
// appending its fragments to out in the page's own order. Internal to the
// renderer: everything else renders through RenderHtml (report/RenderHtml.h).
//
// Texts that come from the report file or the generator are HTML-escaped on
// the way into the page; the program's own texts and the definition file's
// texts are written as they are.
class HtmlPageWriter {
public:
    // Both must outlive the writer.
    HtmlPageWriter(const ReportData& report, const DefinitionFile& definitions);

    // The whole page, head to tail, one line without line breaks.
    std::string Page() const;

private:
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
    // Parameter n (1 to 10) of HT_INFO record k, or of CMD_INFO record k.
    int Ht(int k, int n) const;
    int Cmd(int k, int n) const;
    void WriteCalibrationTable(std::string& out, std::string_view title,
                               std::span<const CalibrationGroup> groups,
                               std::span<const CalibrationItem> items) const;
    void WriteFocusTable(std::string& out, int firstRecord, bool small) const;
    void WriteLogTables(std::string& out) const;

    const ReportData& m_Report;
    const DefinitionFile& m_Definitions;
};

}  // namespace vok
