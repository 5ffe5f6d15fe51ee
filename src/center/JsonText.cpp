#include "center/JsonText.h"

namespace vok::center {

namespace {

// The length of the UTF-8 sequence starting at text[i], or 0 when the bytes
// there are not one.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    unsigned code = 0;
    unsigned minimum = 0;
    if ((c & 0xE0) == 0xC0) {
        length = 2;
        code = c & 0x1F;
        minimum = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3;
        code = c & 0x0F;
        minimum = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4;
        code = c & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

void AppendUnicodeEscape(std::string& out, unsigned code) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u00";
    out += kHex[(code >> 4) & 0x0F];
    out += kHex[code & 0x0F];
}

}  // namespace

void JsonText::AppendString(std::string& out, std::string_view text) {
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = Utf8Length(text, i);
            if (length == 0) {
                // Latin-1 c as two UTF-8 bytes.
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
                ++i;
            } else {
                out.append(text.substr(i, length));
                i += length;
            }
            continue;
        }
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    AppendUnicodeEscape(out, c);
                } else {
                    out += static_cast<char>(c);
                }
        }
        ++i;
    }
    out += '"';
}

void JsonText::Field(std::string& out, std::string_view name, std::string_view value, bool first) {
    if (!first) {
        out += ',';
    }
    AppendString(out, name);
    out += ':';
    AppendString(out, value);
}

void JsonText::Field(std::string& out, std::string_view name, std::int64_t value, bool first) {
    if (!first) {
        out += ',';
    }
    AppendString(out, name);
    out += ':';
    out += std::to_string(value);
}

}  // namespace vok::center
