#include "testing/ScriptedMessageBoxService.h"

namespace vok {

ScriptedMessageBoxService::ScriptedMessageBoxService(bool yes) : m_defaultAnswer(yes) {}

void ScriptedMessageBoxService::QueueAnswer(bool yes) {
    std::lock_guard lock(m_mutex);
    m_answers.push_back(yes);
}

bool ScriptedMessageBoxService::Ask(const std::string& text) {
    std::lock_guard lock(m_mutex);
    m_questions.push_back(text);
    if (m_answers.empty()) {
        return m_defaultAnswer;
    }
    const bool answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

void ScriptedMessageBoxService::Notify(const std::string& text) {
    std::lock_guard lock(m_mutex);
    m_notices.push_back(text);
}

std::vector<std::string> ScriptedMessageBoxService::Questions() const {
    std::lock_guard lock(m_mutex);
    return m_questions;
}

std::vector<std::string> ScriptedMessageBoxService::Notices() const {
    std::lock_guard lock(m_mutex);
    return m_notices;
}

}  // namespace vok
