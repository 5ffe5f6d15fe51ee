#include "center/HttpResponse.h"

#include <strings.h>

namespace vok::center {

HttpResponse HttpResponse::Text(int status, std::string body) {
    HttpResponse response;
    response.status = status;
    response.body = std::move(body);
    return response;
}

HttpResponse HttpResponse::Html(int status, std::string body) {
    HttpResponse response;
    response.status = status;
    response.contentType = "text/html; charset=utf-8";
    response.body = std::move(body);
    return response;
}

HttpResponse HttpResponse::Json(std::string body) {
    HttpResponse response;
    response.contentType = "application/json";
    response.body = std::move(body);
    return response;
}

HttpResponse HttpResponse::Redirect(std::string_view location) {
    HttpResponse response = Text(303, "See " + std::string(location) + "\n");
    response.headers.emplace_back("Location", std::string(location));
    return response;
}

std::string_view HttpResponse::HeaderValue(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (key.size() == name.size() && ::strncasecmp(key.data(), name.data(), name.size()) == 0) {
            return value;
        }
    }
    return {};
}

std::string_view HttpResponse::ReasonPhrase(int status) {
    switch (status) {
        case 100:
            return "Continue";
        case 200:
            return "OK";
        case 303:
            return "See Other";
        case 400:
            return "Bad Request";
        case 401:
            return "Unauthorized";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 408:
            return "Request Timeout";
        case 411:
            return "Length Required";
        case 413:
            return "Content Too Large";
        case 415:
            return "Unsupported Media Type";
        case 422:
            return "Unprocessable Content";
        case 429:
            return "Too Many Requests";
        case 431:
            return "Request Header Fields Too Large";
        case 500:
            return "Internal Server Error";
        case 501:
            return "Not Implemented";
        case 503:
            return "Service Unavailable";
        default:
            return "Status";
    }
}

std::string HttpResponse::Serialize() const {
    std::string out;
    out.reserve(256 + body.size());
    out += "HTTP/1.1 ";
    out += std::to_string(status);
    out += ' ';
    out += ReasonPhrase(status);
    out += "\r\nContent-Type: ";
    out += contentType;
    out += "\r\nContent-Length: ";
    out += std::to_string(body.size());
    out += "\r\nConnection: close\r\n";
    for (const auto& [key, value] : headers) {
        out += key;
        out += ": ";
        // A line break in a value would let it write headers of its own.
        for (char c : value) {
            out += (c == '\r' || c == '\n' || c == '\0') ? ' ' : c;
        }
        out += "\r\n";
    }
    out += "\r\n";
    out += body;
    return out;
}

}  // namespace vok::center
