#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/Result.h"

namespace vok {

// The web server that receives report files: plain HTTP or HTTPS, a host
// name or address and a TCP port. The default is the service center;
// --server or the site's CONFIG.ini names another one in both programs.
class UploadServer {
public:
    UploadServer();  // the service center
    UploadServer(std::string host, std::uint16_t port, bool secure = false);

    // "HOST[:PORT]" (plain HTTP, as the service center has always been
    // reached), "http://HOST[:PORT]" or "https://HOST[:PORT]", a trailing "/"
    // allowed after the last two; HOST may be "[IPv6]". Port 80, or 443 over
    // HTTPS, when none is given. Fails with a one-line reason on anything
    // else, so that no URL parts (user, path, query) can slip in.
    static Result<UploadServer> Parse(std::string_view text);

    const std::string& Host() const { return m_host; }
    std::uint16_t Port() const { return m_port; }
    bool Secure() const { return m_secure; }
    std::string_view Scheme() const;  // "http" or "https"

    // The host as it stands in a URL: IPv6 addresses in brackets.
    std::string UrlHost() const;
    // "HOST:PORT", or "https://HOST:PORT", as Parse reads it back.
    std::string ToString() const;
    // The address of `object` (a path without its leading "/") on this server.
    std::string Url(std::string_view object) const;

    bool operator==(const UploadServer&) const = default;

private:
    std::string m_host;
    std::uint16_t m_port;
    bool m_secure;
};

}  // namespace vok
