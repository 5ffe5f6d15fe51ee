#include "upload/FirstReplyLine.h"

namespace vok {

namespace {

constexpr std::string_view kUploadSuccessReply = "200";
// Only this much of the reply's first line (spaces removed) is kept; a longer
// line cannot be the success reply anyway.
constexpr std::size_t kUploadReplyLineKeep = 64;

}  // namespace

void FirstReplyLine::Add(std::string_view bytes) {
    for (const char c : bytes) {
        if (m_complete) {
            return;
        }
        if (c == '\n') {
            m_complete = true;
            return;
        }
        m_lastWasCr = c == '\r';
        if (c == ' ') {
            continue;
        }
        if (m_kept.size() < kUploadReplyLineKeep) {
            m_kept += c;
        } else {
            m_overflow = true;
        }
    }
}

bool FirstReplyLine::IsSuccess() const {
    if (m_overflow) {
        return false;
    }
    std::string_view line = m_kept;
    if (m_lastWasCr) {
        line.remove_suffix(1);
    }
    return line == kUploadSuccessReply;
}

}  // namespace vok
