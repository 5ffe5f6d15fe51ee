#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "core/Result.h"

namespace vok {

// Whole-file reads of the files the program takes in (report files, CONFIG.ini,
// VOK.DEFINE). A report file is about 61 KB; anything past the cap is not one
// of ours and is refused before memory grows with it. The open never blocks
// (a FIFO or a terminal in a file's place must not hang the program), and only
// regular files are read: /dev/zero or a pipe would never end.
class RegularFile {
public:
    static constexpr std::size_t kMaxBytes = std::size_t{64} * 1024 * 1024;

    // The file's bytes, or the reason they cannot be had (without the path:
    // callers name the file in their own words).
    static Result<std::string> Read(const std::string& path, std::size_t limit = kMaxBytes);

    // The same, but a file that does not exist is no error: nothing comes back.
    static Result<std::optional<std::string>> ReadIfPresent(const std::string& path,
                                                            std::size_t limit = kMaxBytes);

    // The reason text for bytes over the cap, shared by readers of buffers.
    static std::string TooLargeReason(std::size_t limit = kMaxBytes);
};

}  // namespace vok
