#include "upload/UploadServer.h"
#include "platform/AsciiText.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <utility>

namespace vok {

namespace {

// The service center's web server; --server HOST[:PORT] replaces it.
constexpr std::string_view kUploadServerHost = "service.vok-medical.example";
constexpr std::uint16_t kUploadServerPort = 80;
// --server HOST[:PORT]
constexpr std::string_view kUploadServerMissingHost = "no host name given";
constexpr std::string_view kUploadServerBadHost = "not a host name or address: ";
constexpr std::string_view kUploadServerBadPort = "not a port number (1 to 65535): ";
constexpr std::string_view kUploadServerBareIpv6 =
    "write an IPv6 address in brackets, e.g. [::1]:8080";

bool IsAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsHostNameChar(char c) {
    return IsAsciiAlnum(c) || c == '-' || c == '.' || c == '_';
}

bool IsIpv6Char(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' ||
           c == '.';
}

Result<std::uint16_t> ParsePort(std::string_view text) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [last, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc{} || last != end || value == 0 ||
        value > std::numeric_limits<std::uint16_t>::max()) {
        return Error{std::string(kUploadServerBadPort) + std::string(text)};
    }
    return static_cast<std::uint16_t>(value);
}

constexpr std::string_view kHttpScheme = "http";
constexpr std::string_view kHttpsScheme = "https";
constexpr std::string_view kSchemeEnd = "://";
constexpr std::uint16_t kHttpsPort = 443;
constexpr std::string_view kUnknownScheme = "only http:// and https:// servers can take reports: ";

}  // namespace

UploadServer::UploadServer()
    : m_host(kUploadServerHost), m_port(kUploadServerPort), m_secure(false) {}

UploadServer::UploadServer(std::string host, std::uint16_t port, bool secure)
    : m_host(std::move(host)), m_port(port), m_secure(secure) {}

Result<UploadServer> UploadServer::Parse(std::string_view given) {
    std::string_view text = given;
    bool secure = false;
    if (const std::size_t schemeEnd = text.find(kSchemeEnd); schemeEnd != std::string_view::npos) {
        const std::string_view scheme = text.substr(0, schemeEnd);
        if (EqualsIgnoreCase(scheme, kHttpsScheme)) {
            secure = true;
        } else if (!EqualsIgnoreCase(scheme, kHttpScheme)) {
            return Error{std::string(kUnknownScheme) + std::string(given)};
        }
        text.remove_prefix(schemeEnd + kSchemeEnd.size());
        // As a browser's address bar gives it; any other path is refused below.
        if (!text.empty() && text.back() == '/') {
            text.remove_suffix(1);
        }
    }
    std::string_view host;
    std::string_view rest;
    bool ipv6 = false;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) {
            return Error{std::string(kUploadServerBadHost) + std::string(text)};
        }
        host = text.substr(1, close - 1);
        rest = text.substr(close + 1);
        ipv6 = true;
        if (!rest.empty() && rest.front() != ':') {
            return Error{std::string(kUploadServerBadHost) + std::string(text)};
        }
    } else {
        const std::size_t colon = text.find(':');
        if (colon != std::string_view::npos &&
            text.find(':', colon + 1) != std::string_view::npos) {
            return Error{std::string(kUploadServerBareIpv6)};
        }
        host = text.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view{} : text.substr(colon);
    }
    if (host.empty()) {
        return Error{std::string(kUploadServerMissingHost)};
    }
    const bool plain = ipv6 ? std::all_of(host.begin(), host.end(), IsIpv6Char)
                            : std::all_of(host.begin(), host.end(), IsHostNameChar);
    if (!plain) {
        return Error{std::string(kUploadServerBadHost) + std::string(host)};
    }
    std::uint16_t port = secure ? kHttpsPort : kUploadServerPort;
    if (!rest.empty()) {
        Result<std::uint16_t> parsed = ParsePort(rest.substr(1));
        if (!parsed) {
            return Error{parsed.error()};
        }
        port = *parsed;
    }
    return UploadServer(std::string(host), port, secure);
}

std::string_view UploadServer::Scheme() const {
    return m_secure ? kHttpsScheme : kHttpScheme;
}

std::string UploadServer::UrlHost() const {
    if (m_host.find(':') != std::string::npos) {
        return "[" + m_host + "]";
    }
    return m_host;
}

std::string UploadServer::ToString() const {
    const std::string hostPort = UrlHost() + ":" + std::to_string(m_port);
    return m_secure ? std::string(kHttpsScheme) + std::string(kSchemeEnd) + hostPort : hostPort;
}

std::string UploadServer::Url(std::string_view object) const {
    return std::string(Scheme()) + std::string(kSchemeEnd) + UrlHost() + ":" +
           std::to_string(m_port) + "/" + std::string(object);
}

}  // namespace vok
