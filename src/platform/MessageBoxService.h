#pragma once

#include <string>
#include <string_view>

namespace vok {

// Message-box answers, as the pages test them.
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

// The main dialog template's caption, which the message boxes carry too.
inline constexpr std::string_view kMainDialogTemplateCaption = "RemoteVOK";

// Every question and notice of the wizard goes through one of these, so the
// pages never open a box themselves and tests can answer for the user.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;

    // A modal Yes/No question; kAnswerYes (6) when the user chose Yes, any
    // other value otherwise. Callers proceed on kAnswerYes only.
    virtual int Ask(const std::string& text) = 0;

    // A modal notice with an OK button.
    virtual void Notify(const std::string& text) = 0;
};

}  // namespace vok
