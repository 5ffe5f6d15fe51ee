#include "center/ReportPage.h"

#include "center/ConsolePage.h"
#include "report/HtmlText.h"
#include "report/ValueFormat.h"

namespace vok::center {

namespace {

using P = ConsolePage;

// Decoders and definitions write "&nbsp;" for no value; here it is text.
std::string Shown(std::string_view text) {
    return text == kNbsp || text.empty() ? "\u2014" : P::Escape(text);
}

void AppendChanges(std::string& page, const ReportChanges& changes) {
    if (changes.Empty()) {
        page += "<p>Nothing changed: the same counters, error log and calibration.</p>\n";
        return;
    }
    page += "<h3>Counters</h3>\n";
    if (changes.counters.empty()) {
        page += "<p>No counter changed.</p>\n";
    } else {
        page +=
            "<div class=\"scroll\"><table id=\"changed-counters\"><thead><tr><th>Counter</th>"
            "<th class=\"num\">Before</th><th class=\"num\">Now</th><th class=\"num\">Change</th>"
            "</tr></thead><tbody>\n";
        for (const ReportChanges::Counter& c : changes.counters) {
            page += "<tr><td data-label=\"Counter\">" + P::Escape(c.name) +
                    "</td><td data-label=\"Before\" class=\"num\">" + P::Number(c.before) +
                    "</td><td data-label=\"Now\" class=\"num\">" + P::Number(c.after) +
                    "</td><td data-label=\"Change\" class=\"num\">" + P::Delta(c.after - c.before) +
                    "</td></tr>\n";
        }
        page += "</tbody></table></div>\n";
    }
    page += "<h3>New error log entries</h3>\n";
    if (changes.newErrors.empty()) {
        page += "<p>No new error log entry.</p>\n";
    } else {
        page +=
            "<div class=\"scroll\"><table id=\"new-errors\"><thead><tr><th>Date</th><th>Time</th>"
            "<th>Code</th><th>Text</th><th>Error 1</th><th>Error 2</th></tr></thead><tbody>\n";
        for (const ErrorLogEntry& e : changes.newErrors) {
            page += "<tr><td data-label=\"Date\">" + P::Escape(e.date) +
                    "</td><td data-label=\"Time\">" + P::Escape(e.time) +
                    "</td><td data-label=\"Code\">" + HtmlText::HexByte(e.code) +
                    "</td><td data-label=\"Text\">" + Shown(e.text) +
                    "</td><td data-label=\"Error 1\">" + HtmlText::HexByte(e.code1) +
                    "</td><td data-label=\"Error 2\">" + HtmlText::HexByte(e.code2) +
                    "</td></tr>\n";
        }
        page += "</tbody></table></div>\n";
    }
    page += "<h3>Calibration</h3>\n";
    if (changes.calibration.empty()) {
        page += "<p>No calibration value changed.</p>\n";
    } else {
        page +=
            "<div class=\"scroll\"><table id=\"changed-calibration\"><thead><tr><th>Table</th>"
            "<th>Value</th><th class=\"num\">Before</th><th class=\"num\">Now</th></tr></thead>"
            "<tbody>\n";
        for (const ReportChanges::Calibration& c : changes.calibration) {
            page += "<tr><td data-label=\"Table\">" + P::Escape(c.table) +
                    "</td><td data-label=\"Value\">" + P::Escape(c.item) +
                    "</td><td data-label=\"Before\" class=\"num\">" + Shown(c.before) +
                    "</td><td data-label=\"Now\" class=\"num\">" + Shown(c.after) + "</td></tr>\n";
        }
        page += "</tbody></table></div>\n";
    }
}

}  // namespace

std::string ReportPage::Render(const ReportSummary& r, const Since& since) {
    const std::string id = std::to_string(r.id);
    std::string page = P::Head("Report " + id + " of " + r.serial + ": VOK service center");
    page += "<p class=\"crumbs\"><a href=\"/\">Fleet</a> \u203A " + P::GeneratorLink(r.serial) +
            " \u203A Report " + id + "</p>\n";
    page += "<h1>Report of " +
            (r.reportDate.empty() ? std::string("unknown date")
                                  : P::Escape(P::ShortDate(r.reportDate))) +
            "</h1>\n";
    page += "<dl class=\"facts\"><dt>Generator</dt><dd>" + P::GeneratorLink(r.serial) +
            "</dd><dt>Model</dt><dd>" + P::Escape(r.model) + "</dd><dt>Hospital</dt><dd>" +
            P::Escape(r.hospital) + "</dd><dt>City / address</dt><dd>" + P::Escape(r.address) +
            "</dd><dt>Received</dt><dd>" + P::Escape(P::ShortDate(r.receivedAt)) + " from " +
            P::Escape(r.sender) + "</dd><dt>File</dt><dd>" + P::Escape(r.fileName) + " (" +
            P::Number(r.size) + " bytes)</dd><dt>SHA-256</dt><dd class=\"hash\">" +
            P::Escape(r.sha256) + "</dd></dl>\n";
    page +=
        "<p class=\"actions\"><a class=\"button\" id=\"open-html\" href=\"/reports/" + id +
        "/html\">Open the report page</a> <a class=\"button\" id=\"download\" href=\"/reports/" +
        id +
        "/file\" download>Download the original file</a> <a class=\"button\" "
        "href=\"#since-previous\">Since the previous report</a></p>\n";

    page += "<section id=\"since-previous\"><h2>Since the previous report</h2>\n";
    if (!since.previous) {
        page += "<p>This is the first report of this generator.</p>\n";
    } else {
        const ReportSummary& p = *since.previous;
        page += "<p>Compared with <a id=\"previous-report\" href=\"/reports/" +
                std::to_string(p.id) + "\">the report of " + P::Escape(P::ShortDate(p.reportDate)) +
                "</a>";
        const auto days = P::DaysBetween(p.reportDate, r.reportDate);
        if (days) {
            page += ", " + std::to_string(*days) + " days earlier";
        }
        page += ".</p>\n";
        if (since.changes) {
            AppendChanges(page, *since.changes);
        } else {
            page += "<p class=\"alert\">No comparison: " + P::Escape(since.problem) + "</p>\n";
        }
    }
    page += "</section>\n";

    page +=
        "<section class=\"report\"><h2>The report as the site saw it</h2>\n"
        "<iframe class=\"report-frame\" title=\"HTML report\" sandbox src=\"/reports/" +
        id + "/html\"></iframe></section>\n";
    page += P::Tail();
    return page;
}

}  // namespace vok::center
