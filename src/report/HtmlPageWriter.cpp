#include "report/HtmlPageWriter.h"

#include <algorithm>
#include <array>

#include "core/DiagnosisRecord.h"
#include "platform/ProfileFile.h"
#include "report/CalibrationValues.h"
#include "report/HtmlLayout.h"
#include "report/HtmlText.h"
#include "report/LogDecoder.h"
#include "report/SystemInfoDecoder.h"
#include "report/ValueFormat.h"

namespace vok {

namespace {

static_assert(std::size(kSystemLabels) == 40);
static_assert(std::size(kStatisticsLabels) == 8);
static_assert(std::size(kFocusMa) == kFocusRows);

constexpr int kHtLastRecord = static_cast<int>(kHtRecordCount) - 1;

// Appends the fragments of one table. In the "spaced" tables every fragment,
// the paragraph included, is followed by one space; in the others nothing is.
class TableWriter {
public:
    TableWriter(std::string& out, bool spaced) : m_out(out), m_spaced(spaced) {}

    void Fragment(std::string_view fragment) {
        m_out += fragment;
        Space();
    }
    void Row() { Fragment(kHtmlRowOpen); }
    void EndRow() { Fragment(kHtmlRowClose); }

    // A cell whose paragraph the caller appends between Begin and End.
    std::string& BeginCell(std::string_view tag) {
        Fragment(tag);
        m_out += kHtmlParagraphOpen;
        return m_out;
    }
    void EndCell() {
        m_out += kHtmlParagraphClose;
        Space();
        Fragment(kHtmlCellClose);
    }

    // A cell of the program's own text.
    void Cell(std::string_view tag, std::string_view text) {
        BeginCell(tag) += text;
        EndCell();
    }
    // A cell of text from a report file.
    void ForeignCell(std::string_view tag, std::string_view text) {
        HtmlText::AppendEscaped(BeginCell(tag), text);
        EndCell();
    }
    void NumberCell(std::string_view tag, long long value, std::string_view suffix = {}) {
        HtmlText::AppendDecimal(BeginCell(tag), value);
        m_out += suffix;
        EndCell();
    }

private:
    void Space() {
        if (m_spaced) {
            m_out += kHtmlFragmentSpace;
        }
    }

    std::string& m_out;
    bool m_spaced;
};

void WriteSiteTable(std::string& out, const SiteInfo& site, std::string_view titleCell,
                    std::string_view title, std::span<const SiteTableCell> cells) {
    TableWriter table(out, true);
    table.Fragment(kTableTag12px);
    table.Row();
    table.Cell(titleCell, title);
    table.EndRow();
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const SiteTableCell& cell = cells[i];
        if (cell.newRow) {
            if (i != 0) {
                table.EndRow();
            }
            table.Row();
        }
        if (cell.field == kFixedText) {
            table.Cell(cell.tag, cell.text);
        } else {
            table.ForeignCell(cell.tag, site.Field(static_cast<std::size_t>(cell.field)));
        }
    }
    table.EndRow();
    table.Fragment(kHtmlTable);
}

}  // namespace

HtmlPageWriter::HtmlPageWriter(const ReportData& report, const DefinitionFile& definitions)
    : m_Report(report), m_Definitions(definitions) {}

std::string HtmlPageWriter::Page() const {
    std::string out;
    out.reserve(kHtmlReserve);
    WriteHtmlHead(out);
    if (Ht(kSystemRecord, 1) < kNoValue) {
        WriteSystemTable(out);
    }
    WriteUserTable(out);
    WriteServiceTable(out);
    WriteFilamentKvTable(out);
    WriteAecTable(out);
    WriteMaCalibrationHistory(out);
    WriteFocusCalibrationTables(out);
    WriteLogTables(out);
    WriteHtmlTail(out);
    return out;
}

void HtmlPageWriter::WriteHtmlHead(std::string& out) const {
    out += kHtmlHeadTitle;
    out += kHtmlHeadMeta;
    out += kHtmlHeadBody;
}

void HtmlPageWriter::WriteSystemTable(std::string& out) const {
    const SystemInfoDecoder d(m_Report);
    // The values of rows 3 to 22, in the order of their labels.
    const std::array<std::string, std::size(kSystemLabels)> values = {
        d.GetModelText(Ht(1, 3)),
        d.GetSerialNumberText(),
        d.GetDeliveryDateText(),
        d.GetKwText(Ht(1, 3)),
        d.GetKvText(Ht(1, 1)),
        d.GetMaText(Ht(1, 2)),
        d.GetMasText(Ht(1, 4)),
        d.GetVoltageText(Ht(1, 5)) + ' ' + d.GetPhaseText(Ht(1, 5)),
        d.GetOptionText(Ht(1, 6)),
        d.GetFrequencyText(Ht(1, 5)),
        d.GetMaText(Ht(2, 1)),
        std::to_string(Ht(1, 10)) + std::string(kKwSuffix),
        std::to_string(Ht(1, 7)),
        d.GetPrepTimeText(Ht(1, 9)),
        std::to_string(Ht(1, 8)),
        d.GetMaText(Ht(2, 2)),
        d.GetEnableText(Ht(2, 5), 0),
        d.GetBuckyTypeText(Ht(2, 3), 1),
        d.GetBuckyTypeText(Ht(2, 3), 2),
        d.GetBuckySettingText(Ht(2, 4), 0),
        d.GetBuckySettingText(Ht(2, 4), 1),
        d.GetBuckySettingText(Ht(2, 4), 2),
        d.GetEnableText(Ht(2, 5), 3),
        d.GetEnableText(Ht(2, 5), 2),
        d.GetAecSettingText(Ht(2, 6), 1),
        d.GetAecFieldText(Ht(2, 6), 1),
        d.GetAecSettingText(Ht(2, 6), 2),
        d.GetAecFieldText(Ht(2, 6), 2),
        d.GetDelayTimeText(Ht(2, 8)),
        d.GetDelayTimeText(Ht(2, 7)),
        d.GetEnableText(Ht(2, 9), 7),
        d.GetEnableText(Ht(2, 9), 6),
        d.GetEnableText(Ht(2, 9), 5),
        d.GetEnableText(Ht(2, 9), 4),
        d.GetEnableText(Ht(2, 9), 3),
        d.GetEnableText(Ht(2, 9), 2),
        d.GetEnableText(Ht(2, 9), 1),
        d.GetEnableText(Ht(2, 9), 0),
        d.GetConsoleVersionText(),
        d.GetHtVersionText(),
    };
    const std::array<std::string, std::size(kStatisticsLabels)> statistics = {
        d.GetExposureTotalText(),
        d.GetExposureTodayText(),
        d.GetErrorCountText(),
        d.GetHeatUnitTotalText(),
        d.GetHeatUnitTodayText(),
        std::to_string(Ht(kCountersRecord, 8)) + std::string(kTimesSuffix),
        std::to_string(Ht(kCountersRecord, kErrorLogCountParam)),
        std::to_string(Ht(kCountersRecord, kProtocolCountParam)),
    };

    out += kTableTag12px;
    out += kHtmlFragmentSpace;
    TableWriter table(out, false);
    table.Row();
    table.Cell(kSystemTitleCell, kSystemTitle);
    table.EndRow();

    table.Row();
    table.Cell(kTd200, kDateTimeLabel);
    std::string& dateTime = table.BeginCell(kTd400Span3);
    HtmlText::AppendEscaped(dateTime, m_Report.m_strDate);
    dateTime += ' ';
    HtmlText::AppendEscaped(dateTime, m_Report.m_strTime);
    table.EndCell();
    table.EndRow();

    for (std::size_t i = 0; i < values.size(); i += 2) {
        table.Row();
        table.Cell(kTd200, kSystemLabels[i]);
        table.Cell(kTd100, values[i]);
        table.Cell(kTd200, kSystemLabels[i + 1]);
        table.Cell(kTd100, values[i + 1]);
        table.EndRow();
    }

    table.Row();
    table.Cell(kSystemTitleCell, kStatisticsTitle);
    table.EndRow();
    for (std::size_t i = 0; i < statistics.size(); ++i) {
        table.Row();
        table.Cell(kTd300Span2, kStatisticsLabels[i]);
        table.Cell(kTd300Span2, statistics[i]);
        table.EndRow();
    }
    out += kHtmlTable;
}

void HtmlPageWriter::WriteUserTable(std::string& out) const {
    WriteSiteTable(out, m_Report.m_SiteInfo, kUserTitleCell, kUserTitle, kUserCells);
}

void HtmlPageWriter::WriteServiceTable(std::string& out) const {
    WriteSiteTable(out, m_Report.m_SiteInfo, kServiceTitleCell, kServiceTitle, kServiceCells);
}

void HtmlPageWriter::WriteFilamentKvTable(std::string& out) const {
    WriteCalibrationTable(out, kFilamentKvTitle, kFilamentKvGroups, kFilamentKvItems);
}

void HtmlPageWriter::WriteAecTable(std::string& out) const {
    WriteCalibrationTable(out, kAecTitle, kAecGroups, kAecItems);
}

void HtmlPageWriter::WriteCalibrationTable(std::string& out, std::string_view title,
                                           std::span<const CalibrationGroup> groups,
                                           std::span<const CalibrationItem> items) const {
    out += kCalibrationTableTag;
    out += kCalibrationTitleOpen;
    out += title;
    out += kCalibrationTitleClose;
    for (const CalibrationGroup& group : groups) {
        out += group.fragment;
        for (int i = group.first; i < group.first + group.count; ++i) {
            const CalibrationItem& item = items[static_cast<std::size_t>(i)];
            if (i != group.first) {
                out += kHtmlRowOpen;
            }
            out += kCalibrationLabelOpen;
            out += item.label;
            out += kHtmlCellClose;
            out += kCalibrationValueOpen;
            HtmlText::AppendDecimal(out, Ht(item.record, item.param) - item.offset);
            out += kCalibrationItemClose;
        }
    }
    out += kHtmlTable;
}

void HtmlPageWriter::WriteMaCalibrationHistory(std::string& out) const {
    for (int k = kMaHistoryFirstRecord; k <= kMaHistoryLastRecord; ++k) {
        const auto rows = CalibrationValues::MaHistoryRows(m_Report, m_Definitions, k);
        if (!rows) {
            continue;
        }
        out += kMaHistoryOpen;
        out += kMaHistoryTitle;
        for (std::size_t r = 0; r < rows->size(); ++r) {
            out += kMaHistoryLabelOpen;
            out += kMaHistoryLabels[r];
            out += kHtmlCellClose;
            out += kMaHistoryValueOpen;
            out += (*rows)[r];
            out += kMaHistoryRowClose;
        }
        out += kHtmlTable;
    }
}

void HtmlPageWriter::WriteFocusCalibrationTables(std::string& out) const {
    WriteFocusTable(out, kSmallFocusFirstRecord, true);
    WriteFocusTable(out, kLargeFocusFirstRecord, false);
}

void HtmlPageWriter::WriteFocusTable(std::string& out, int firstRecord, bool small) const {
    out += kTableTag12;
    out += kHtmlFragmentSpace;
    out += kFocusTitleOpen;
    out += small ? kSmallFocusTitle : kLargeFocusTitle;
    out += kHtmlRowOpen;
    out += small ? kSmallFocusCorner : kLargeFocusCorner;
    for (std::string_view kv : kFocusKv) {
        out += kFocusHeadingOpen;
        out += kv;
        out += kFocusCellClose;
    }
    out += kHtmlRowClose;
    for (int r = 0; r < kFocusRows; ++r) {
        const int first = firstRecord + 2 * r;
        out += kHtmlRowOpen;
        out += kFocusLabelOpen;
        out += kFocusMa[r];
        out += kFocusCellClose;
        for (int record = first; record <= first + 1; ++record) {
            for (int flag : kFocusFlagParams) {
                out += kFocusValueOpen;
                if (const auto value = CalibrationValues::FocusValue(m_Report, record, flag)) {
                    HtmlText::AppendDecimal(out, *value);
                } else {
                    out += kNbsp;
                }
                out += kFocusCellClose;
            }
        }
        out += kHtmlRowClose;
    }
    out += kHtmlTable;
}

void HtmlPageWriter::WriteLogTables(std::string& out) const {
    if (Ht(kErrorLogFirstRecord, 1) == kNoValue) {
        return;
    }
    // A count beyond the log's capacity names entries that have no records.
    const int entries = std::min(Ht(kCountersRecord, kErrorLogCountParam), kErrorLogCapacity);
    for (int i = 0; i < entries; ++i) {
        const int first = kErrorLogFirstRecord + kErrorLogRecordsPerEntry * i;
        if (Ht(first, 1) < kNoValue) {
            WriteErrorTable(out, first);
        }
        WriteProtocolTable(out, i);
    }
}

void HtmlPageWriter::WriteErrorTable(std::string& out, int firstRecord) const {
    const int a = firstRecord;
    const int b = firstRecord + 1;
    if (a < 1 || b > kHtLastRecord) {
        return;
    }
    TableWriter table(out, true);
    table.Fragment(kTableTag12px);
    table.Row();
    table.Cell(kErrorTitleCell, kErrorTitle);
    table.EndRow();

    table.Row();
    table.Cell(kTd200Span2, kLogIndexLabel);
    table.NumberCell(kTd400Span4, Ht(a, 1));
    table.EndRow();
    for (int code = 0; code < static_cast<int>(std::size(kErrorCodeLabels)); ++code) {
        const int value = Ht(a, 2 + code);
        table.Row();
        table.Cell(kTd200Span2, kErrorCodeLabels[code]);
        std::string& cell = table.BeginCell(kTd400Span4);
        HtmlText::AppendHexByte(cell, value);
        cell += '\t';
        cell += m_Definitions.GetErrorText(value);
        table.EndCell();
        table.EndRow();
    }

    table.Row();
    table.Cell(kTd100, kLogDateLabel);
    table.Cell(kTd200Span2, LogDecoder::GetLogDateText(Ht(a, 5), Ht(a, 6), Ht(a, 7)));
    table.Cell(kTd100, kLogTimeLabel);
    table.Cell(kTd200Span2, LogDecoder::GetLogTimeText(Ht(a, 8), Ht(a, 9), Ht(a, 10)));
    table.EndRow();

    table.Row();
    table.Cell(kTd100, kLogKvLabel);
    table.NumberCell(kTd100, Ht(b, 1), kKvSuffix);
    table.Cell(kTd100, kLogMaLabel);
    table.Cell(kTd100, SystemInfoDecoder::GetMaText(Ht(b, 2)));
    table.Cell(kTd100, kLogTimeLabel);
    table.Cell(kTd100, LogDecoder::GetExposureTimeText(Ht(b, 3)));
    table.EndRow();

    table.Row();
    table.Cell(kTd100, kLogBuckyLabel);
    table.Cell(kTd200Span2, LogDecoder::GetLogBuckyText(Ht(b, 4)));
    table.Cell(kTd100, kLogExtDeviceLabel);
    table.Cell(kTd200Span2, LogDecoder::GetExtDeviceText(Ht(b, 5)));
    table.EndRow();

    table.Row();
    table.Cell(kTd100, kLogAecScreenLabel);
    table.Cell(kTd100, LogDecoder::GetAecScreenText(Ht(b, 6)));
    table.Cell(kTd100, kLogAecFieldLabel);
    table.Cell(kTd100, LogDecoder::GetAecFieldMapText(Ht(b, 7)));
    table.Cell(kTd100, kLogAecDensityLabel);
    table.Cell(kTd100, LogDecoder::GetAecDensityText(Ht(b, 8)));
    table.EndRow();

    table.Row();
    table.Cell(kTd100, kLogAprLabel);
    table.Cell(kTd200Span2, LogDecoder::GetAprText(Ht(b, 9)));
    table.Cell(kTd100, kLogHuLabel);
    table.NumberCell(kTd200Span2, Ht(b, 10), kPercentSuffix);
    table.EndRow();
    table.Fragment(kHtmlTable);
}

void HtmlPageWriter::WriteProtocolTable(std::string& out, int block) const {
    const int blocks = std::min(Ht(kCountersRecord, kProtocolCountParam), kProtocolCapacity);
    if (block < 0 || block >= blocks) {
        return;
    }
    TableWriter table(out, true);
    table.Fragment(kTableTag12);
    table.Row();
    table.Cell(kProtocolTitleCell, kProtocolTitle);
    table.EndRow();
    table.Row();
    table.Cell(kTd50, kProtocolIndexLabel);
    table.Cell(kProtocolCommandHeadingCell, kProtocolCommandLabel);
    for (std::string_view label : kProtocolHeadingLabels) {
        table.Cell(kTd50, label);
    }
    table.EndRow();
    for (int n = 0; n < kProtocolBlockRecords; ++n) {
        const int r = kProtocolBlockRecords * block + 1 + n;
        const int command = Cmd(r, 6);
        if (command == kNoValue) {
            continue;
        }
        table.Row();
        table.NumberCell(kTd50, n);
        HtmlText::AppendHexByte(table.BeginCell(kTd50), command);
        table.EndCell();
        table.Cell(kTd250, m_Definitions.GetCommandText(command));
        HtmlText::AppendHexByte(table.BeginCell(kTd50), Cmd(r, 7));
        table.EndCell();
        for (int p = 8; p <= 10; ++p) {
            table.Cell(kTd50, LogDecoder::GetHexByteText(Cmd(r, p)));
        }
        table.Cell(kTd50, LogDecoder::GetLogTimeText(Cmd(r, 3), Cmd(r, 4), Cmd(r, 5)));
        table.EndRow();
    }
    table.Fragment(kHtmlTable);
}

void HtmlPageWriter::WriteHtmlTail(std::string& out) const {
    out += kHtmlTail;
}

int HtmlPageWriter::Ht(int k, int n) const {
    return m_Report.m_HtInfo[static_cast<std::size_t>(k)].params[static_cast<std::size_t>(n - 1)];
}

int HtmlPageWriter::Cmd(int k, int n) const {
    return m_Report.m_CmdInfo[static_cast<std::size_t>(k)].params[static_cast<std::size_t>(n - 1)];
}

}  // namespace vok
