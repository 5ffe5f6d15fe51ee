#include "center/HttpRequest.h"

namespace vok::center {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::optional<std::string_view> HttpRequest::Header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (key == name) {
            return std::string_view(value);
        }
    }
    return std::nullopt;
}

std::map<std::string, std::string> HttpRequest::QueryFields() const {
    return ParseFormFields(query);
}

std::map<std::string, std::string> HttpRequest::ParseFormFields(std::string_view text) {
    std::map<std::string, std::string> fields;
    while (!text.empty()) {
        const std::size_t amp = text.find('&');
        const std::string_view pair = text.substr(0, amp);
        text = amp == std::string_view::npos ? std::string_view() : text.substr(amp + 1);
        if (pair.empty()) {
            continue;
        }
        const std::size_t eq = pair.find('=');
        std::string key = PercentDecode(pair.substr(0, eq), true);
        std::string value =
            eq == std::string_view::npos ? std::string() : PercentDecode(pair.substr(eq + 1), true);
        fields.emplace(std::move(key), std::move(value));
    }
    return fields;
}

std::string HttpRequest::PercentDecode(std::string_view text, bool plusIsSpace) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 2 < text.size()) {
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += (plusIsSpace && c == '+') ? ' ' : c;
    }
    return out;
}

}  // namespace vok::center
