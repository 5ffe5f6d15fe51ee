#pragma once

#include <string>
#include <string_view>

namespace vok {

// Small text builders for the HTML report: escaping of foreign text and the
// fixed number forms the page uses, appended without printf so that one
// page is built in a single pass over one buffer.
class HtmlText {
public:
    // Text that came from a report file or from the generator can hold
    // anything; & < > " ' are replaced by their entities so that it shows as
    // text and can never open markup, and control characters (below 0x20,
    // and 0x7F) by numeric references ("&#10;") so that the page stays one
    // line. Other bytes stay as they are.
    static void AppendEscaped(std::string& out, std::string_view text);
    static std::string Escape(std::string_view text);

    // "%d"
    static void AppendDecimal(std::string& out, long long value);
    // "%02d" of a value 0 to 99 (wider values print all their digits).
    static void AppendTwoDigits(std::string& out, int value);
    // "%02X" of a byte 0 to 255.
    static void AppendHexByte(std::string& out, int value);
    static std::string HexByte(int value);

    // The value of a packed-BCD byte: high nibble * 10 + low nibble, nibbles
    // above 9 not refused (0xFF gives 165).
    static int Bcd(int value);
};

}  // namespace vok
