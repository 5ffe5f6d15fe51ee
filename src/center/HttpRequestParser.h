#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "center/HttpRequest.h"

namespace vok::center {

// Reads one HTTP/1.x request from bytes as they arrive, within fixed
// limits, and never holds more than those limits allow. It takes bodies
// with a Content-Length only: the field's clients send one, and a chunked
// body of unknown size is what a slow or hostile sender would use to keep
// a connection busy.
class HttpRequestParser {
public:
    struct Limits {
        std::size_t maxHeaderBytes = std::size_t{16} * 1024;
        std::size_t maxHeaderCount = 64;
        std::size_t maxBodyBytes = std::size_t{4} * 1024 * 1024;
    };
    enum class State { NeedMore, Complete, Failed };

    explicit HttpRequestParser(Limits limits) : m_limits(limits) {}

    // Takes the next bytes of the connection.
    State Feed(std::string_view bytes);
    State state() const { return m_state; }

    // After Failed: the status to answer with and a one-line reason.
    int errorStatus() const { return m_errorStatus; }
    const std::string& errorReason() const { return m_errorReason; }

    // True once the head is read, the body is still to come and the client
    // waits for "100 Continue" before sending it.
    bool WantsContinue() const {
        return m_headDone && m_expectContinue && m_state == State::NeedMore;
    }
    bool HeadDone() const { return m_headDone; }
    std::size_t BufferedBytes() const { return m_buffer.size(); }

    // After Complete: the request (the parser is spent).
    HttpRequest TakeRequest();

private:
    State Fail(int status, std::string reason);
    State ParseHead(std::string_view head);
    State ParseHeaderLine(std::string_view line);

    Limits m_limits;
    State m_state = State::NeedMore;
    int m_errorStatus = 0;
    std::string m_errorReason;
    std::string m_buffer;
    std::size_t m_scanned = 0;
    bool m_headDone = false;
    bool m_expectContinue = false;
    bool m_haveLength = false;
    std::size_t m_bodyStart = 0;
    std::size_t m_contentLength = 0;
    HttpRequest m_request;
};

}  // namespace vok::center
