#include "center/FleetPage.h"

#include <algorithm>

#include "center/ConsolePage.h"

namespace vok::center {

namespace {

constexpr std::int64_t kMaxPage = 1000000;

std::string DaysText(const GeneratorSummary& g, std::string_view today) {
    const auto days = ConsolePage::DaysBetween(g.lastReportDate, today);
    return days ? std::to_string(*days) : std::string();
}

std::string NewErrorsText(const FleetRow& row) {
    return row.newErrors ? ConsolePage::Delta(*row.newErrors) : std::string();
}

}  // namespace

const std::vector<FleetPage::Column>& FleetPage::Columns() {
    static const std::vector<Column> columns = {
        {"serial", "Serial", FleetSort::Serial, false},
        {"model", "Model", FleetSort::Model, false},
        {"hospital", "Hospital", FleetSort::Hospital, false},
        {"address", "City / address", FleetSort::Address, false},
        {"last", "Last report", FleetSort::LastReport, false},
        {"days", "Days since", FleetSort::LastReport, true},
        {"exposures", "Exposures", FleetSort::Exposures, false},
        {"errors", "Errors since previous", FleetSort::NewErrors, false},
    };
    return columns;
}

FleetPage::Params FleetPage::Params::From(const std::map<std::string, std::string>& fields) {
    Params params;
    if (const auto q = fields.find("q"); q != fields.end()) {
        params.search = q->second.substr(0, 100);
    }
    if (const auto sort = fields.find("sort"); sort != fields.end()) {
        for (const Column& column : Columns()) {
            if (column.key == sort->second) {
                params.sort = sort->second;
            }
        }
    }
    if (const auto dir = fields.find("dir"); dir != fields.end()) {
        params.descending = dir->second != "asc";
    }
    if (const auto page = fields.find("page"); page != fields.end()) {
        const std::string& text = page->second;
        if (!text.empty() && text.size() <= 7 &&
            text.find_first_not_of("0123456789") == std::string::npos) {
            params.page =
                std::max<std::int64_t>(1, std::min<std::int64_t>(std::stoll(text), kMaxPage));
        }
    }
    return params;
}

FleetQuery FleetPage::Params::Query(std::int64_t limit) const {
    FleetQuery query;
    query.search = search;
    query.limit = limit;
    query.offset = (page - 1) * limit;
    for (const Column& column : Columns()) {
        if (column.key == sort) {
            query.sort = column.sort;
            query.descending = column.inverted ? !descending : descending;
        }
    }
    return query;
}

std::string FleetPage::Params::Link(std::string_view sortKey, bool desc,
                                    std::int64_t pageNumber) const {
    std::string link = "/?";
    if (!search.empty()) {
        link += "q=" + ConsolePage::UrlEncode(search) + "&";
    }
    link += "sort=" + std::string(sortKey) + "&dir=" + (desc ? "desc" : "asc");
    if (pageNumber > 1) {
        link += "&page=" + std::to_string(pageNumber);
    }
    return link;
}

std::string FleetPage::Render(const std::vector<FleetRow>& rows, std::int64_t total,
                              const Params& params, std::string_view today) {
    using P = ConsolePage;
    std::string page = P::Head("Fleet: VOK service center");
    page +=
        "<h1>Fleet</h1>\n<form class=\"search\" method=\"get\" action=\"/\" role=\"search\">"
        "<label for=\"q\">Serial or hospital</label><input id=\"q\" name=\"q\" type=\"search\""
        " value=\"" +
        P::Escape(params.search) + "\"><input type=\"hidden\" name=\"sort\" value=\"" +
        P::Escape(params.sort) + "\"><input type=\"hidden\" name=\"dir\" value=\"" +
        (params.descending ? "desc" : "asc") +
        "\"><button type=\"submit\">Search</button></form>\n";
    page += "<p class=\"count\">" + P::Number(total) + (total == 1 ? " generator" : " generators");
    if (!params.search.empty()) {
        page += " matching \u201C" + P::Escape(params.search) + "\u201D";
    }
    page += "</p>\n<div class=\"scroll\"><table class=\"fleet\" id=\"fleet\">\n<thead><tr>";
    for (const Column& column : Columns()) {
        const bool current = column.key == params.sort;
        // A click on the sorted column turns it round; a new column starts
        // with what an engineer looks for first (newest, most).
        const bool numeric = column.key == "last" || column.key == "days" ||
                             column.key == "exposures" || column.key == "errors";
        const bool desc = current ? !params.descending : numeric;
        page += "<th";
        if (current) {
            page += params.descending ? " aria-sort=\"descending\"" : " aria-sort=\"ascending\"";
        }
        page += "><a href=\"" + P::Escape(params.Link(column.key, desc, 1)) + "\">";
        page += column.title;
        if (current) {
            page += params.descending ? " \u25BC" : " \u25B2";
        }
        page += "</a></th>";
    }
    page += "</tr></thead>\n<tbody>\n";
    for (const FleetRow& row : rows) {
        const GeneratorSummary& g = row.generator;
        page += "<tr><td data-label=\"Serial\">" + P::GeneratorLink(g.serial) +
                "</td><td data-label=\"Model\">" + P::Escape(g.model) +
                "</td><td data-label=\"Hospital\">" + P::Escape(g.hospital) +
                "</td><td data-label=\"City / address\">" + P::Escape(g.address) +
                "</td><td data-label=\"Last report\"><a href=\"/reports/" +
                std::to_string(g.lastReportId) + "\">" + P::Escape(P::ShortDate(g.lastReportDate)) +
                "</a></td><td data-label=\"Days since\" class=\"num\">" + DaysText(g, today) +
                "</td><td data-label=\"Exposures\" class=\"num\">" + P::Number(row.exposuresTotal) +
                "</td><td data-label=\"Errors since previous\" class=\"num" +
                (row.newErrors && *row.newErrors > 0 ? " alert" : "") + "\">" + NewErrorsText(row) +
                "</td></tr>\n";
    }
    if (rows.empty()) {
        page += "<tr><td colspan=\"8\">No generator found.</td></tr>\n";
    }
    page += "</tbody>\n</table></div>\n";
    const std::int64_t pages = std::max<std::int64_t>(1, (total + kPageSize - 1) / kPageSize);
    page += "<nav class=\"pages\" aria-label=\"Pages\">";
    if (params.page > 1) {
        page += "<a rel=\"prev\" href=\"" +
                P::Escape(params.Link(params.sort, params.descending, params.page - 1)) +
                "\">Previous</a>";
    }
    page +=
        "<span>Page " + std::to_string(params.page) + " of " + std::to_string(pages) + "</span>";
    if (params.page < pages) {
        page += "<a rel=\"next\" href=\"" +
                P::Escape(params.Link(params.sort, params.descending, params.page + 1)) +
                "\">Next</a>";
    }
    page += "</nav>\n";
    page += P::Tail();
    return page;
}

std::string FleetPage::CsvField(std::string_view text) {
    std::string field(text);
    if (!field.empty() && std::string_view("=+-@\t\r").find(field.front()) != std::string::npos) {
        field.insert(field.begin(), '\'');
    }
    if (field.find_first_of("\",\r\n") == std::string::npos) {
        return field;
    }
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"') {
            quoted += '"';
        }
        quoted += c;
    }
    return quoted + "\"";
}

std::string FleetPage::Csv(const std::vector<FleetRow>& rows, std::string_view today) {
    std::string out =
        "serial,model,hospital,address,last_report_date,days_since,exposures,"
        "errors_since_previous,reports\r\n";
    for (const FleetRow& row : rows) {
        const GeneratorSummary& g = row.generator;
        // Numbers are ours and go out bare; a negative one is no formula.
        out += CsvField(g.serial) + "," + CsvField(g.model) + "," + CsvField(g.hospital) + "," +
               CsvField(g.address) + "," + CsvField(g.lastReportDate) + "," + DaysText(g, today) +
               "," + std::to_string(row.exposuresTotal) + "," +
               (row.newErrors ? std::to_string(*row.newErrors) : std::string()) + "," +
               std::to_string(g.reports) + "\r\n";
    }
    return out;
}

}  // namespace vok::center
