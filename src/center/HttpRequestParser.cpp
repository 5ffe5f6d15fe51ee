#include "center/HttpRequestParser.h"
#include "platform/AsciiText.h"

#include <algorithm>

namespace vok::center {

namespace {

constexpr std::size_t kMaxLengthDigits = 18;

bool IsTokenChar(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        return true;
    }
    return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool IsToken(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsTokenChar);
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = AsciiLower(c);
    }
    return out;
}

}  // namespace

HttpRequestParser::State HttpRequestParser::Fail(int status, std::string reason) {
    m_state = State::Failed;
    m_errorStatus = status;
    m_errorReason = std::move(reason);
    m_buffer.clear();
    return m_state;
}

HttpRequestParser::State HttpRequestParser::Feed(std::string_view bytes) {
    if (m_state != State::NeedMore) {
        return m_state;
    }
    if (!m_headDone) {
        m_buffer.append(bytes);
        // The head ends at the first empty line; a bare LF ends lines too.
        std::size_t end = std::string::npos;
        std::size_t endLength = 0;
        for (std::size_t i = m_scanned; i < m_buffer.size(); ++i) {
            if (m_buffer[i] != '\n') {
                continue;
            }
            if (i >= 1 && m_buffer[i - 1] == '\n') {
                end = i - 1;
                endLength = 2;
                break;
            }
            if (i >= 2 && m_buffer[i - 1] == '\r' && m_buffer[i - 2] == '\n') {
                end = i - 2;
                endLength = 3;
                break;
            }
        }
        if (end == std::string::npos) {
            m_scanned = m_buffer.size();
            if (m_buffer.size() > m_limits.maxHeaderBytes) {
                return Fail(431, "request head longer than " +
                                     std::to_string(m_limits.maxHeaderBytes) + " bytes");
            }
            return m_state;
        }
        if (end > m_limits.maxHeaderBytes) {
            return Fail(431, "request head longer than " + std::to_string(m_limits.maxHeaderBytes) +
                                 " bytes");
        }
        if (ParseHead(std::string_view(m_buffer).substr(0, end)) == State::Failed) {
            return m_state;
        }
        m_headDone = true;
        m_bodyStart = end + endLength;
    } else {
        // Never more than the announced body: anything after it is dropped.
        const std::size_t have = m_buffer.size() - m_bodyStart;
        const std::size_t room = m_contentLength > have ? m_contentLength - have : 0;
        m_buffer.append(bytes.substr(0, room));
    }
    if (m_buffer.size() - m_bodyStart >= m_contentLength) {
        m_request.body.assign(m_buffer, m_bodyStart, m_contentLength);
        m_buffer.clear();
        m_buffer.shrink_to_fit();
        m_state = State::Complete;
    }
    return m_state;
}

HttpRequestParser::State HttpRequestParser::ParseHead(std::string_view head) {
    std::vector<std::string_view> lines;
    while (!head.empty()) {
        const std::size_t lf = head.find('\n');
        std::string_view line = head.substr(0, lf);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        head = lf == std::string_view::npos ? std::string_view() : head.substr(lf + 1);
    }
    // Empty lines before the request line are allowed (RFC 9112 2.2).
    std::size_t first = 0;
    while (first < lines.size() && lines[first].empty()) {
        ++first;
    }
    if (first == lines.size()) {
        return Fail(400, "empty request");
    }
    const std::string_view requestLine = lines[first];
    const std::size_t sp1 = requestLine.find(' ');
    const std::size_t sp2 = sp1 == std::string_view::npos ? sp1 : requestLine.find(' ', sp1 + 1);
    if (sp2 == std::string_view::npos || requestLine.find(' ', sp2 + 1) != std::string_view::npos) {
        return Fail(400, "malformed request line");
    }
    const std::string_view method = requestLine.substr(0, sp1);
    const std::string_view target = requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
    const std::string_view version = requestLine.substr(sp2 + 1);
    if (!IsToken(method)) {
        return Fail(400, "malformed method");
    }
    if (version != "HTTP/1.1" && version != "HTTP/1.0") {
        return Fail(400, "unsupported HTTP version");
    }
    if (target.empty() || target.front() != '/') {
        return Fail(400, "request target must be a path");
    }
    for (char c : target) {
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7f) {
            return Fail(400, "control character in the request target");
        }
    }
    m_request.method = std::string(method);
    m_request.target = std::string(target);
    const std::size_t question = target.find('?');
    m_request.path = std::string(target.substr(0, question));
    m_request.query = question == std::string_view::npos ? std::string()
                                                         : std::string(target.substr(question + 1));

    for (std::size_t i = first + 1; i < lines.size(); ++i) {
        if (ParseHeaderLine(lines[i]) == State::Failed) {
            return m_state;
        }
    }
    if (m_request.Header("transfer-encoding")) {
        return Fail(501, "chunked or encoded bodies are not accepted; send a Content-Length");
    }
    if (!m_haveLength && m_request.method == "POST") {
        return Fail(411, "a POST needs a Content-Length");
    }
    if (m_contentLength > m_limits.maxBodyBytes) {
        return Fail(413,
                    "request body larger than " + std::to_string(m_limits.maxBodyBytes) + " bytes");
    }
    if (const auto expect = m_request.Header("expect")) {
        m_expectContinue = Lower(*expect) == "100-continue";
    }
    return m_state;
}

HttpRequestParser::State HttpRequestParser::ParseHeaderLine(std::string_view line) {
    if (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
        return Fail(400, "folded header lines are not accepted");
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || !IsToken(line.substr(0, colon))) {
        return Fail(400, "malformed header line");
    }
    if (m_request.headers.size() >= m_limits.maxHeaderCount) {
        return Fail(431, "more than " + std::to_string(m_limits.maxHeaderCount) + " header lines");
    }
    std::string name = Lower(line.substr(0, colon));
    const std::string_view value = TrimBlanks(line.substr(colon + 1));
    if (value.find('\0') != std::string_view::npos) {
        return Fail(400, "zero byte in a header");
    }
    if (name == "content-length") {
        if (value.empty() || value.size() > kMaxLengthDigits ||
            !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            return Fail(400, "malformed Content-Length");
        }
        const std::size_t length = std::stoull(std::string(value));
        if (m_haveLength && length != m_contentLength) {
            return Fail(400, "conflicting Content-Length headers");
        }
        m_haveLength = true;
        m_contentLength = length;
    }
    m_request.headers.emplace_back(std::move(name), std::string(value));
    return m_state;
}

HttpRequest HttpRequestParser::TakeRequest() {
    return std::move(m_request);
}

}  // namespace vok::center
