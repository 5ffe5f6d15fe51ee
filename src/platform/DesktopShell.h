#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vok {

// What the open-file dialog is asked to show.
struct FileChoice {
    std::filesystem::path folder;  // where the dialog opens
    std::string filter;            // "Description(*.EXT)|*.EXT|" pairs
    std::string defaultExtension;  // without the dot
};

// The desktop around the wizard: browser, sound, file choice and the end of
// the process. The pages reach the desktop only through this, so tests can
// stand in for it.
class DesktopShell {
public:
    virtual ~DesktopShell() = default;

    // Shows the address in the user's browser; a failure is not reported.
    virtual void OpenUrl(const std::string& url) = 0;

    // Starts the error sound and returns at once: the file when it can be
    // played, otherwise the desktop's own error sound.
    virtual void PlayErrorSound(const std::filesystem::path& file) = 0;

    // The chosen file's full path; nothing when the user cancels.
    virtual std::optional<std::filesystem::path> ChooseFileToOpen(const FileChoice& choice) = 0;

    // Ends the program with status 0 as soon as the current handler returns.
    virtual void ExitProcess() = 0;
};

}  // namespace vok
