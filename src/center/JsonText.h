#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vok::center {

// Builds JSON text by appending. Strings are escaped for JSON (quotes,
// backslashes, control characters); bytes that are not UTF-8 are taken as
// Latin-1, so any input gives valid JSON.
class JsonText {
public:
    static void AppendString(std::string& out, std::string_view text);
    // "name":"value" / "name":123, with a comma before unless first.
    static void Field(std::string& out, std::string_view name, std::string_view value,
                      bool first = false);
    static void Field(std::string& out, std::string_view name, std::int64_t value,
                      bool first = false);
};

}  // namespace vok::center
