#include "center/GeneratorPage.h"

#include "center/ConsolePage.h"
#include "center/JsonText.h"
#include "report/HtmlText.h"

namespace vok::center {

namespace {

using P = ConsolePage;

std::string CodeText(int code) {
    return HtmlText::HexByte(code);
}

void NumberArray(std::string& out, std::string_view name, const std::vector<ReportSummary>& reports,
                 std::int64_t (*value)(const ReportSummary&)) {
    out += ",";
    JsonText::AppendString(out, name);
    out += ":[";
    for (auto it = reports.rbegin(); it != reports.rend(); ++it) {
        out += it == reports.rbegin() ? "" : ",";
        out += std::to_string(value(*it));
    }
    out += "]";
}

}  // namespace

std::string GeneratorPage::ChartData(const std::vector<ReportSummary>& reports,
                                     const std::vector<ErrorCodeCount>& codes) {
    std::string json = "{\"labels\":[";
    for (auto it = reports.rbegin(); it != reports.rend(); ++it) {
        json += it == reports.rbegin() ? "" : ",";
        // The day is enough on an axis; the tables give the time.
        JsonText::AppendString(json, std::string_view(it->reportDate).substr(0, 10));
    }
    json += "]";
    NumberArray(json, "exposures", reports,
                [](const ReportSummary& r) { return r.exposuresTotal; });
    NumberArray(json, "errors", reports, [](const ReportSummary& r) { return r.errorCount; });
    NumberArray(json, "heat", reports, [](const ReportSummary& r) { return r.heatUnitsTotal; });
    json += ",\"codes\":[";
    for (std::size_t i = 0; i < codes.size(); ++i) {
        json += i == 0 ? "" : ",";
        JsonText::AppendString(json, CodeText(codes[i].code) + " " + codes[i].text);
    }
    json += "],\"codeCounts\":[";
    for (std::size_t i = 0; i < codes.size(); ++i) {
        json += (i == 0 ? "" : ",") + std::to_string(codes[i].count);
    }
    json += "]}";
    // Nothing in the block may close it or open a comment: "<" only as an
    // escape (still the same JSON text).
    std::string safe;
    for (const char c : json) {
        if (c == '<') {
            safe += "\\u003c";
        } else {
            safe += c;
        }
    }
    return safe;
}

std::string GeneratorPage::Render(const GeneratorSummary& g,
                                  const std::vector<ReportSummary>& reports,
                                  const std::vector<ErrorCodeCount>& codes,
                                  const std::vector<ServiceEntry>& history,
                                  std::string_view today) {
    std::string page = P::Head("Generator " + g.serial + ": VOK service center");
    page += "<p class=\"crumbs\"><a href=\"/\">Fleet</a> \u203A Generator</p>\n";
    page += "<h1>Generator <span class=\"serial\">" + P::Escape(g.serial) + "</span></h1>\n";
    const auto days = P::DaysBetween(g.lastReportDate, today);
    page += "<dl class=\"facts\"><dt>Model</dt><dd>" + P::Escape(g.model) +
            "</dd><dt>Hospital</dt><dd>" + P::Escape(g.hospital) +
            "</dd><dt>City / address</dt><dd>" + P::Escape(g.address) +
            "</dd><dt>Reports</dt><dd>" + P::Number(g.reports) +
            "</dd><dt>Last report</dt><dd><a href=\"/reports/" + std::to_string(g.lastReportId) +
            "\">" + P::Escape(P::ShortDate(g.lastReportDate)) + "</a>" +
            (days ? " (" + std::to_string(*days) + " days ago)" : std::string()) + "</dd></dl>\n";

    page += "<script type=\"application/json\" id=\"chart-data\">" + ChartData(reports, codes) +
            "</script>\n<section class=\"charts\">\n";
    for (const auto& [id, title] : {std::pair{"chart-exposures", "Exposures (total)"},
                                    std::pair{"chart-errors", "Errors (total count)"},
                                    std::pair{"chart-heat", "Heat units (total)"},
                                    std::pair{"chart-codes", "Error codes in the logs"}}) {
        page += "<figure class=\"chart\"><figcaption>" + std::string(title) +
                "</figcaption><div class=\"canvas\"><canvas id=\"" + id +
                "\" role=\"img\" aria-label=\"" + title + "\"></canvas></div></figure>\n";
    }
    page += "</section>\n";

    page += "<h2>Error codes</h2>\n";
    if (codes.empty()) {
        page += "<p>No error log entries in its reports.</p>\n";
    } else {
        page +=
            "<div class=\"scroll\"><table id=\"codes\"><thead><tr><th>Code</th><th>Text</th>"
            "<th class=\"num\">Entries</th></tr></thead><tbody>\n";
        for (const ErrorCodeCount& c : codes) {
            page += "<tr><td data-label=\"Code\">" + CodeText(c.code) +
                    "</td><td data-label=\"Text\">" + P::Escape(c.text) +
                    "</td><td data-label=\"Entries\" class=\"num\">" + P::Number(c.count) +
                    "</td></tr>\n";
        }
        page += "</tbody></table></div>\n";
    }

    page += "<h2>Service history</h2>\n";
    if (history.empty()) {
        page += "<p>No service visit recorded in its reports.</p>\n";
    } else {
        page +=
            "<div class=\"scroll\"><table id=\"history\"><thead><tr><th>Date</th><th>Cause</th>"
            "<th>Action</th><th>Engineer</th><th>First reported</th></tr></thead><tbody>\n";
        for (const ServiceEntry& e : history) {
            page += "<tr><td data-label=\"Date\">" + P::Escape(e.date) +
                    "</td><td data-label=\"Cause\">" + P::Escape(e.cause) +
                    "</td><td data-label=\"Action\">" + P::Escape(e.action) +
                    "</td><td data-label=\"Engineer\">" + P::Escape(e.engineer) +
                    "</td><td data-label=\"First reported\"><a href=\"/reports/" +
                    std::to_string(e.firstReportId) + "\">" +
                    P::Escape(P::ShortDate(e.firstReportDate)) + "</a></td></tr>\n";
        }
        page += "</tbody></table></div>\n";
    }

    page += "<h2>Reports</h2>\n";
    if (static_cast<std::int64_t>(reports.size()) < g.reports) {
        page += "<p>The newest " + P::Number(static_cast<std::int64_t>(reports.size())) + " of " +
                P::Number(g.reports) + ".</p>\n";
    }
    page +=
        "<div class=\"scroll\"><table id=\"timeline\" class=\"timeline\"><thead><tr><th>Report "
        "date</th>"
        "<th>Received</th><th class=\"num\">Exposures</th><th class=\"num\">Errors</th>"
        "<th class=\"num\">Heat units</th><th class=\"num\">Error log</th><th>File</th>"
        "</tr></thead><tbody>\n";
    for (std::size_t i = 0; i < reports.size(); ++i) {
        const ReportSummary& r = reports[i];
        const std::string id = std::to_string(r.id);
        // Growth of the error counter against the next older report.
        std::string grown;
        if (i + 1 < reports.size() && r.errorCount != reports[i + 1].errorCount) {
            grown = " <span class=\"delta\">(" +
                    P::Delta(r.errorCount - reports[i + 1].errorCount) + ")</span>";
        }
        page += "<tr><td data-label=\"Report date\"><a href=\"/reports/" + id + "\">" +
                P::Escape(P::ShortDate(r.reportDate.empty() ? "(no date)" : r.reportDate)) +
                "</a></td><td data-label=\"Received\">" + P::Escape(P::ShortDate(r.receivedAt)) +
                "</td><td data-label=\"Exposures\" class=\"num\">" + P::Number(r.exposuresTotal) +
                "</td><td data-label=\"Errors\" class=\"num\">" + P::Number(r.errorCount) + grown +
                "</td><td data-label=\"Heat units\" class=\"num\">" + P::Number(r.heatUnitsTotal) +
                "</td><td data-label=\"Error log\" class=\"num\">" + P::Number(r.errorLogCount) +
                "</td><td data-label=\"File\"><a href=\"/reports/" + id + "/file\">" +
                P::Escape(r.fileName.empty() ? "download" : r.fileName) + "</a></td></tr>\n";
    }
    page += "</tbody></table></div>\n";
    page += P::Tail();
    return page;
}

}  // namespace vok::center
