#include "center/MultipartForm.h"
#include "platform/AsciiText.h"


namespace vok::center {

namespace {

constexpr std::size_t kMaxBoundary = 70;

// Whether the text after a quote shows that quote closes a value: nothing
// but blanks follows, or ";" and another parameter this form knows. Any
// other text belongs to the value: the site tool writes paths unescaped,
// and a path may hold a quote and a semicolon.
bool EndsQuotedValue(std::string_view after) {
    after = TrimBlanks(after);
    if (after.empty()) {
        return true;
    }
    if (after.front() != ';') {
        return false;
    }
    after = TrimBlanks(after.substr(1));
    for (std::string_view known : {"name", "filename", "filename*"}) {
        if (StartsWithIgnoreCase(after, known) &&
            TrimBlanks(after.substr(known.size())).starts_with('=')) {
            return true;
        }
    }
    return false;
}

// The value of parameter `name` in a header value such as
// `form-data; name="userfile"; filename="a.VOK"`. A quoted value runs to the
// first quote that ends the parameter, so a quote inside
// a file name does not cut it short.
bool FindParameter(std::string_view header, std::string_view name, std::string& value) {
    std::size_t pos = header.find(';');
    while (pos != std::string_view::npos) {
        std::string_view rest = TrimBlanks(header.substr(pos + 1));
        const std::size_t eq = rest.find('=');
        if (eq == std::string_view::npos) {
            return false;
        }
        const std::string_view key = TrimBlanks(rest.substr(0, eq));
        std::string_view raw = TrimBlanks(rest.substr(eq + 1));
        std::size_t next = std::string_view::npos;
        if (!raw.empty() && raw.front() == '"') {
            std::size_t close = std::string_view::npos;
            for (std::size_t i = 1; i < raw.size() && close == std::string_view::npos; ++i) {
                if (raw[i] == '"' && EndsQuotedValue(raw.substr(i + 1))) {
                    close = i;
                }
            }
            if (close == std::string_view::npos) {
                return false;
            }
            if (EqualsIgnoreCase(key, name)) {
                value = std::string(raw.substr(1, close - 1));
                return true;
            }
            const std::size_t consumed =
                static_cast<std::size_t>(raw.data() - header.data()) + close + 1;
            next = header.find(';', consumed);
        } else {
            const std::size_t semicolon = raw.find(';');
            if (EqualsIgnoreCase(key, name)) {
                value = std::string(TrimBlanks(raw.substr(0, semicolon)));
                return true;
            }
            next = semicolon == std::string_view::npos
                       ? semicolon
                       : static_cast<std::size_t>(raw.data() - header.data()) + semicolon;
        }
        pos = next;
    }
    return false;
}

}  // namespace

Result<std::string> MultipartForm::Boundary(std::string_view contentType) {
    if (!StartsWithIgnoreCase(TrimBlanks(contentType), "multipart/form-data")) {
        return Error{"not a multipart/form-data body"};
    }
    std::string boundary;
    if (!FindParameter(contentType, "boundary", boundary) || boundary.empty() ||
        boundary.size() > kMaxBoundary) {
        return Error{"multipart body without a usable boundary"};
    }
    for (char c : boundary) {
        if (c == '\r' || c == '\n' || c == '\0') {
            return Error{"multipart body without a usable boundary"};
        }
    }
    return boundary;
}

Result<std::vector<FormPart>> MultipartForm::Parse(std::string_view contentType,
                                                   std::string_view body) {
    Result<std::string> boundary = Boundary(contentType);
    if (!boundary) {
        return Error{boundary.error()};
    }
    const std::string dash = "--" + boundary.value();
    const std::string delimiter = "\r\n" + dash;

    // The first delimiter starts the body or follows a line break.
    std::size_t pos = 0;
    if (body.substr(0, dash.size()) != dash) {
        pos = body.find(delimiter);
        if (pos == std::string_view::npos) {
            return Error{"multipart body without its first boundary"};
        }
        pos += 2;
    }
    std::vector<FormPart> parts;
    for (;;) {
        pos += dash.size();
        if (body.substr(pos, 2) == "--") {
            return parts;  // the close delimiter; an epilogue is ignored
        }
        // Transport padding, then the line end.
        while (pos < body.size() && (body[pos] == ' ' || body[pos] == '\t')) {
            ++pos;
        }
        if (body.substr(pos, 2) != "\r\n") {
            return Error{pos >= body.size() ? "multipart body cut short"
                                            : "malformed multipart boundary line"};
        }
        pos += 2;
        if (parts.size() == kMaxParts) {
            return Error{"more than " + std::to_string(kMaxParts) + " multipart fields"};
        }
        const std::size_t headEnd = body.find("\r\n\r\n", pos);
        // A part without headers starts with its empty line at once.
        const bool noHeaders = body.substr(pos, 2) == "\r\n";
        if (!noHeaders &&
            (headEnd == std::string_view::npos || headEnd - pos > kMaxPartHeadBytes)) {
            return Error{headEnd == std::string_view::npos ? "multipart body cut short"
                                                           : "multipart field head too long"};
        }
        FormPart part;
        std::string_view head = noHeaders ? std::string_view() : body.substr(pos, headEnd - pos);
        const std::size_t contentStart = noHeaders ? pos + 2 : headEnd + 4;
        bool disposition = false;
        while (!head.empty()) {
            const std::size_t eol = head.find("\r\n");
            const std::string_view line = head.substr(0, eol);
            head = eol == std::string_view::npos ? std::string_view() : head.substr(eol + 2);
            if (!StartsWithIgnoreCase(line, "content-disposition:")) {
                continue;
            }
            const std::string_view value = TrimBlanks(line.substr(20));
            if (!StartsWithIgnoreCase(value, "form-data")) {
                return Error{"multipart field that is not form-data"};
            }
            disposition = FindParameter(value, "name", part.name);
            part.hasFileName = FindParameter(value, "filename", part.fileName);
        }
        if (!disposition) {
            return Error{"multipart field without a name"};
        }
        const std::size_t end = body.find(delimiter, contentStart);
        if (end == std::string_view::npos) {
            return Error{"multipart body cut short"};
        }
        part.content = std::string(body.substr(contentStart, end - contentStart));
        parts.push_back(std::move(part));
        pos = end + 2;
    }
}

const FormPart* MultipartForm::FindFile(const std::vector<FormPart>& parts, std::string_view name) {
    for (const FormPart& part : parts) {
        if (part.name == name && part.hasFileName) {
            return &part;
        }
    }
    return nullptr;
}

}  // namespace vok::center
