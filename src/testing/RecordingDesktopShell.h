#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/DesktopShell.h"

namespace vok {

// A desktop that only takes notes: what would have been opened, played and
// ended. Tests and the screenshot program run the wizard on it.
class RecordingDesktopShell : public DesktopShell {
public:
    void OpenUrl(const std::string& url) override { m_urls.push_back(url); }
    void PlayErrorSound(const std::filesystem::path& file) override { m_sounds.push_back(file); }
    // Every file dialog is cancelled.
    std::optional<std::filesystem::path> ChooseFileToOpen(const FileChoice& /*choice*/) override {
        return std::nullopt;
    }
    void ExitProcess() override { ++m_exits; }

    const std::vector<std::string>& Urls() const { return m_urls; }
    const std::vector<std::filesystem::path>& Sounds() const { return m_sounds; }
    int Exits() const { return m_exits; }

private:
    std::vector<std::string> m_urls;
    std::vector<std::filesystem::path> m_sounds;
    int m_exits = 0;
};

}  // namespace vok
