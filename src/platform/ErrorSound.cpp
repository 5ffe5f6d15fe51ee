#include "platform/ErrorSound.h"

#include <canberra.h>

#include <cstdint>
#include <system_error>

namespace vok {

namespace {

// The error sound: the desktop theme's sound when the file cannot be played.
constexpr std::string_view kThemeErrorSound = "dialog-error";

constexpr std::uint32_t kSoundId = 1;

}  // namespace

ErrorSound::~ErrorSound() {
    if (m_context != nullptr) {
        ca_context_destroy(m_context);
    }
}

bool ErrorSound::EnsureContext() {
    if (m_context != nullptr) {
        return true;
    }
    if (ca_context_create(&m_context) != CA_SUCCESS) {
        m_context = nullptr;
        return false;
    }
    return true;
}

bool ErrorSound::Play(const std::filesystem::path& file) {
    if (!EnsureContext()) {
        return false;
    }
    std::error_code ec;
    if (std::filesystem::is_regular_file(file, ec)) {
        const std::string name = file.string();
        if (ca_context_play(m_context, kSoundId, CA_PROP_MEDIA_FILENAME, name.c_str(),
                            CA_PROP_EVENT_DESCRIPTION, "VOK Remote Diagnosis error",
                            nullptr) == CA_SUCCESS) {
            return true;
        }
    }
    return ca_context_play(m_context, kSoundId, CA_PROP_EVENT_ID, kThemeErrorSound.data(),
                           nullptr) == CA_SUCCESS;
}

}  // namespace vok
