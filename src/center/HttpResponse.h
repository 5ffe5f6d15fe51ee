#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vok::center {

// What a route answers. The server adds the length, the connection header
// and the security headers every response carries.
struct HttpResponse {
    int status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;

    static HttpResponse Text(int status, std::string body);
    static HttpResponse Html(int status, std::string body);
    static HttpResponse Json(std::string body);
    static HttpResponse Redirect(std::string_view location);

    // The first header of that name as given (case-insensitive), or "".
    std::string_view HeaderValue(std::string_view name) const;

    // The status line's reason phrase for the codes this server uses.
    static std::string_view ReasonPhrase(int status);
    // Status line, headers and body as they go on the wire.
    std::string Serialize() const;
};

}  // namespace vok::center
