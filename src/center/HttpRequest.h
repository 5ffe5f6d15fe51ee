#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vok::center {

// One complete HTTP request as the server read it: the body is all there,
// header names are lower case, and the target is split into its path and
// its query text.
struct HttpRequest {
    std::string method;
    std::string target;
    std::string path;
    std::string query;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    // The connection's peer, as an address text without port.
    std::string peer;

    // The first header of that name (lower case), if any.
    std::optional<std::string_view> Header(std::string_view name) const;
    // The query's fields, percent-decoded; the first of a repeated name wins.
    std::map<std::string, std::string> QueryFields() const;

    // application/x-www-form-urlencoded text into its fields, "+" as space.
    static std::map<std::string, std::string> ParseFormFields(std::string_view text);
    // %XX decoded; a broken escape stays as it is.
    static std::string PercentDecode(std::string_view text, bool plusIsSpace);
};

}  // namespace vok::center
