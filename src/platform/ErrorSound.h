#pragma once

#include <filesystem>

struct ca_context;

namespace vok {

// The error sound through libcanberra: the given WAV file, or the desktop
// theme's "dialog-error" sound when the file is missing or cannot be played.
class ErrorSound {
public:
    ErrorSound() = default;
    ~ErrorSound();
    ErrorSound(const ErrorSound&) = delete;
    ErrorSound& operator=(const ErrorSound&) = delete;

    // Starts playing and returns at once; false when neither the file nor the
    // theme sound could be started (no sound system).
    bool Play(const std::filesystem::path& file);

private:
    bool EnsureContext();

    ca_context* m_context = nullptr;
};

}  // namespace vok
