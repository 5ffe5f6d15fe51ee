#pragma once

#include <deque>
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
    std::optional<std::filesystem::path> ChooseFileToOpen(const FileChoice& choice) override {
        m_choices.push_back(choice);
        if (m_files.empty()) {
            return std::nullopt;
        }
        std::optional<std::filesystem::path> file = m_files.front();
        m_files.pop_front();
        return file;
    }
    void ExitProcess() override { ++m_exits; }

    // The next file dialog's answer; nothing queued means cancel.
    void QueueFile(std::optional<std::filesystem::path> file) {
        m_files.push_back(std::move(file));
    }

    const std::vector<std::string>& Urls() const { return m_urls; }
    const std::vector<std::filesystem::path>& Sounds() const { return m_sounds; }
    const std::vector<FileChoice>& Choices() const { return m_choices; }
    int Exits() const { return m_exits; }

private:
    std::vector<std::string> m_urls;
    std::vector<std::filesystem::path> m_sounds;
    std::vector<FileChoice> m_choices;
    std::deque<std::optional<std::filesystem::path>> m_files;
    int m_exits = 0;
};

}  // namespace vok
