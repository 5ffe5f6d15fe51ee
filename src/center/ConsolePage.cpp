#include "center/ConsolePage.h"

#include <chrono>
#include <ctime>

#include "report/HtmlText.h"

namespace vok::center {

namespace {

bool Digits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::optional<std::chrono::sys_days> ReadDay(std::string_view text) {
    if (text.size() < 10 || text[4] != '-' || text[7] != '-' || !Digits(text.substr(0, 4)) ||
        !Digits(text.substr(5, 2)) || !Digits(text.substr(8, 2))) {
        return std::nullopt;
    }
    const std::chrono::year_month_day day{
        std::chrono::year{std::stoi(std::string(text.substr(0, 4)))},
        std::chrono::month{static_cast<unsigned>(std::stoi(std::string(text.substr(5, 2))))},
        std::chrono::day{static_cast<unsigned>(std::stoi(std::string(text.substr(8, 2))))}};
    if (!day.ok()) {
        return std::nullopt;
    }
    return std::chrono::sys_days{day};
}

}  // namespace

std::string ConsolePage::Head(std::string_view title) {
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
        "<title>";
    page += Escape(title);
    page += "</title><link rel=\"stylesheet\" href=\"";
    page += kStylePath;
    page += "\"><script src=\"";
    page += kChartPath;
    page += "\" defer></script><script src=\"";
    page += kScriptPath;
    page +=
        "\" defer></script></head><body>\n<header class=\"bar\"><a class=\"brand\" "
        "href=\"/\">VOK service center</a><nav><a href=\"/\">Fleet</a>"
        "<a href=\"/generators.csv\">CSV</a><form method=\"post\" action=\"/logout\">"
        "<button type=\"submit\">Log out</button></form></nav></header>\n<main>\n";
    return page;
}

std::string ConsolePage::Tail() {
    return "</main>\n</body></html>\n";
}

std::string ConsolePage::Escape(std::string_view text) {
    return HtmlText::Escape(text);
}

std::string ConsolePage::UrlEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
        if (plain) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

std::string ConsolePage::GeneratorLink(std::string_view serial) {
    return "<a href=\"/generators/" + UrlEncode(serial) + "\">" + Escape(serial) + "</a>";
}

std::string ConsolePage::Number(std::int64_t value) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return value < 0 ? "-" + digits : digits;
}

std::string ConsolePage::Delta(std::int64_t value) {
    return value > 0 ? "+" + Number(value) : Number(value);
}

std::optional<std::int64_t> ConsolePage::DaysBetween(std::string_view reportDate,
                                                     std::string_view today) {
    const auto from = ReadDay(reportDate);
    const auto to = ReadDay(today);
    if (!from || !to) {
        return std::nullopt;
    }
    return (*to - *from).count();
}

std::string ConsolePage::Today() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &utc);
    return text;
}

std::string ConsolePage::ShortDate(std::string_view iso) {
    // "...:SS" or "...:SSZ"
    if ((iso.size() == 19 || (iso.size() == 20 && iso.back() == 'Z')) && iso[10] == 'T') {
        return std::string(iso.substr(0, 10)) + " " + std::string(iso.substr(11, 5));
    }
    return std::string(iso);
}

}  // namespace vok::center
