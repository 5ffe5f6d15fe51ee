#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/Result.h"

namespace vok {

// The web server that receives report files: a host name or address and a
// TCP port. The default is the service center; --server HOST[:PORT] names
// another one in both programs.
class UploadServer {
public:
    UploadServer();  // the service center
    UploadServer(std::string host, std::uint16_t port);

    // "HOST", "HOST:PORT", "[IPv6]" or "[IPv6]:PORT"; port 80 when none is
    // given. Fails with a one-line reason on anything that is not a plain
    // host, so that no URL parts (user, path, query) can slip in.
    static Result<UploadServer> Parse(std::string_view text);

    const std::string& Host() const { return m_host; }
    std::uint16_t Port() const { return m_port; }

    // The host as it stands in a URL: IPv6 addresses in brackets.
    std::string UrlHost() const;
    // "HOST:PORT" as Parse reads it back.
    std::string ToString() const;

    bool operator==(const UploadServer&) const = default;

private:
    std::string m_host;
    std::uint16_t m_port;
};

}  // namespace vok
