#include "center/DatabaseUrl.h"

#include <algorithm>

#include "center/HttpRequest.h"

namespace vok::center {

namespace {

bool ParsePort(std::string_view text, int& port) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    port = std::stoi(std::string(text));
    return port >= 1 && port <= 65535;
}

}  // namespace

DatabaseUrl DatabaseUrl::SqliteFile(std::string path) {
    DatabaseUrl url;
    url.kind = Kind::Sqlite;
    url.path = std::move(path);
    return url;
}

Result<DatabaseUrl> DatabaseUrl::Parse(std::string_view text) {
    if (text.empty()) {
        return Error{"no database given"};
    }
    if (text.starts_with("sqlite://")) {
        std::string_view path = text.substr(9);
        if (path.empty()) {
            return Error{"sqlite:// URL without a file path"};
        }
        return SqliteFile(std::string(path));
    }
    std::string_view rest;
    if (text.starts_with("postgresql://")) {
        rest = text.substr(13);
    } else if (text.starts_with("postgres://")) {
        rest = text.substr(11);
    } else if (text.find("://") != std::string_view::npos) {
        return Error{"unknown database URL scheme (postgresql:// or sqlite:// or a file path): " +
                     std::string(text)};
    } else {
        return SqliteFile(std::string(text));
    }
    DatabaseUrl url;
    url.kind = Kind::Postgresql;
    const std::size_t question = rest.find('?');
    const std::string_view query =
        question == std::string_view::npos ? std::string_view() : rest.substr(question + 1);
    rest = rest.substr(0, question);
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos || slash + 1 >= rest.size()) {
        return Error{"PostgreSQL URL without a database name: " + std::string(text)};
    }
    url.database = HttpRequest::PercentDecode(rest.substr(slash + 1), false);
    std::string_view authority = rest.substr(0, slash);
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        const std::string_view userInfo = authority.substr(0, at);
        authority = authority.substr(at + 1);
        const std::size_t colon = userInfo.find(':');
        url.user = HttpRequest::PercentDecode(userInfo.substr(0, colon), false);
        if (colon != std::string_view::npos) {
            url.password = HttpRequest::PercentDecode(userInfo.substr(colon + 1), false);
        }
    }
    if (const std::size_t colon = authority.rfind(':');
        colon != std::string_view::npos && authority.find(']') == std::string_view::npos) {
        if (!ParsePort(authority.substr(colon + 1), url.port)) {
            return Error{"not a port number in " + std::string(text)};
        }
        authority = authority.substr(0, colon);
    }
    url.host = HttpRequest::PercentDecode(authority, false);
    for (const auto& [key, value] : HttpRequest::ParseFormFields(query)) {
        if (key == "host") {
            url.host = value;
        } else if (key == "port") {
            if (!ParsePort(value, url.port)) {
                return Error{"not a port number in " + std::string(text)};
            }
        } else if (key == "user") {
            url.user = value;
        } else if (key == "password") {
            url.password = value;
        } else {
            return Error{"unknown PostgreSQL URL parameter '" + key + "'"};
        }
    }
    return url;
}

std::string DatabaseUrl::Describe() const {
    if (kind == Kind::Sqlite) {
        return "SQLite " + path;
    }
    std::string text = "postgresql://";
    if (!user.empty()) {
        text += user + "@";
    }
    if (!host.starts_with("/")) {
        text += host;
    }
    if (port != 0 && !host.starts_with("/")) {
        text += ":" + std::to_string(port);
    }
    text += "/" + database;
    if (host.starts_with("/")) {
        text += "?host=" + host;
    }
    return text;
}

}  // namespace vok::center
