#include "upload/FirstReplyLine.h"

#include "core/Constants.h"

namespace vok {

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
