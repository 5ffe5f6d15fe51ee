#pragma once

#include <string>
#include <string_view>

#include "core/Result.h"

namespace vok {

// The multipart body that carries one report file as the form field
// "userfile": a prefix naming the file by its path exactly as given, the
// file's bytes, and a suffix. 148 + path + file + 48 bytes, starting with
// CR LF.
class UploadBody {
public:
    // Reads the file and composes its body. Only the bytes the file really
    // holds are sent. A file that cannot be read completely or is no regular
    // file, a path that would break the part's header lines, and a file far
    // too big for a report file are errors with the reason.
    static Result<std::string> Load(const std::string& path);
    // The same body for a file already in memory, as a site would send it
    // (the path is taken as it is, unchecked): what the service center's
    // tests and benchmarks post.
    static std::string Compose(std::string_view path, std::string_view file);

    // The request's header line that announces this body and its boundary.
    static constexpr std::string_view kContentTypeHeader =
        "Content-Type: multipart/form-data; boundary=---------------------------7d13a23b368";
};

}  // namespace vok
