#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Result.h"

namespace vok::center {

// One field of a multipart/form-data body.
struct FormPart {
    std::string name;
    std::string fileName;  // as sent; metadata only, never a path here
    bool hasFileName = false;
    std::string content;
};

// Splits a multipart/form-data body (RFC 7578, RFC 2046) into its parts.
// A preamble before the first delimiter is skipped, as RFC 2046 allows (the
// site tool's body starts with CR LF there), and the body must end with the
// close delimiter: a body cut anywhere is refused whole.
//
// File names are taken as written between the quotes, backslashes included:
// Windows clients send full paths such as "C:\VOK\DIAGNOSIS\REPORT\x.VOK"
// without escaping them.
class MultipartForm {
public:
    // The boundary of a Content-Type header value, or an error when it is not
    // multipart/form-data with a usable boundary.
    static Result<std::string> Boundary(std::string_view contentType);
    static Result<std::vector<FormPart>> Parse(std::string_view contentType, std::string_view body);
    // The part of that name that carries a file, or nullptr.
    static const FormPart* FindFile(const std::vector<FormPart>& parts, std::string_view name);

    // Limits that keep one body from turning into unbounded work.
    static constexpr std::size_t kMaxParts = 16;
    static constexpr std::size_t kMaxPartHeadBytes = std::size_t{8} * 1024;
};

}  // namespace vok::center
