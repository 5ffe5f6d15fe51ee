#pragma once

#include <string>
#include <string_view>

namespace vok {

// The main dialog template's caption, which the message boxes carry too.
inline constexpr std::string_view kMainDialogTemplateCaption = "RemoteVOK";

// Every question and notice of the wizard goes through one of these, so the
// pages never open a box themselves and tests can answer for the user.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;

    // A modal Yes/No question; true only when the user chose Yes (closing
    // the box is a No). Callers proceed on Yes only.
    virtual bool Ask(const std::string& text) = 0;

    // A modal notice with an OK button.
    virtual void Notify(const std::string& text) = 0;
};

}  // namespace vok
