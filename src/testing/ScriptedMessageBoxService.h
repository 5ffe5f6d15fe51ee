#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/MessageBoxService.h"

namespace vok {

// Answers questions from a script instead of the user: tests and the
// screenshot program queue answers and read back what was asked and told.
// Once the script is used up every question gets the default answer.
class ScriptedMessageBoxService : public MessageBoxService {
public:
    // Without a script every question is answered No, or Yes with `yes`.
    explicit ScriptedMessageBoxService(bool yes = false);

    // The next question's answer: true for Yes.
    void QueueAnswer(bool yes);

    bool Ask(const std::string& text) override;
    void Notify(const std::string& text) override;

    std::vector<std::string> Questions() const;
    std::vector<std::string> Notices() const;

private:
    mutable std::mutex m_mutex;
    bool m_defaultAnswer;
    std::deque<bool> m_answers;
    std::vector<std::string> m_questions;
    std::vector<std::string> m_notices;
};

}  // namespace vok
