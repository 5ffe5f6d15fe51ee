#include "report/HtmlText.h"

#include <charconv>

namespace vok {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kNibbleBits = 4;
constexpr int kNibbleMask = 0x0F;
constexpr int kDecimalBase = 10;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

std::string_view Entity(char c) {
    switch (c) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '"':
            return "&quot;";
        case '\'':
            return "&#39;";
        default:
            return {};
    }
}

// Control characters would put line breaks and the like into a page that has
// none; as references they still show what the generator sent.
bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < kFirstPrintable || byte == kDelete;
}

}  // namespace

void HtmlText::AppendEscaped(std::string& out, std::string_view text) {
    std::size_t plainBegin = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view entity = Entity(text[i]);
        const bool control = IsControl(text[i]);
        if (entity.empty() && !control) {
            continue;
        }
        out.append(text, plainBegin, i - plainBegin);
        if (control) {
            out += "&#";
            AppendDecimal(out, static_cast<unsigned char>(text[i]));
            out += ';';
        } else {
            out += entity;
        }
        plainBegin = i + 1;
    }
    out.append(text, plainBegin, text.size() - plainBegin);
}

std::string HtmlText::Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendEscaped(out, text);
    return out;
}

void HtmlText::AppendDecimal(std::string& out, long long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void HtmlText::AppendTwoDigits(std::string& out, int value) {
    if (value >= 0 && value < kDecimalBase) {
        out += '0';
    }
    AppendDecimal(out, value);
}

void HtmlText::AppendHexByte(std::string& out, int value) {
    out += kHexDigits[(value >> kNibbleBits) & kNibbleMask];
    out += kHexDigits[value & kNibbleMask];
}

std::string HtmlText::HexByte(int value) {
    std::string out;
    AppendHexByte(out, value);
    return out;
}

int HtmlText::Bcd(int value) {
    return ((value >> kNibbleBits) & kNibbleMask) * kDecimalBase + (value & kNibbleMask);
}

}  // namespace vok
