#include "upload/UploadBody.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "upload/FileDescriptor.h"

namespace vok {

namespace {

// The body: prefix head, the path as passed, prefix tail, the file, suffix.
constexpr std::string_view kUploadBodyPrefixHead =
    "\r\n-----------------------------7d13a23b368\r\n"
    "Content-Disposition: form-data; name=\"userfile\"; filename=\"";
constexpr std::string_view kUploadBodyPrefixTail =
    "\"\r\nContent-Type: application/octet-stream\r\n\r\n";
constexpr std::string_view kUploadBodySuffix =
    "\r\n\r\n-----------------------------7d13a23b368--\r\n";
static_assert(kUploadBodyPrefixHead.size() + kUploadBodyPrefixTail.size() == 148);
static_assert(kUploadBodySuffix.size() == 48);
// Report files are tens of kilobytes; anything this big was picked by mistake
// and would only be held in memory whole.
constexpr std::size_t kUploadMaxFileBytes = std::size_t{64} << 20;
constexpr std::size_t kUploadReadChunkBytes = std::size_t{64} << 10;
// Error texts of the upload; the caller shows them after "ERROR : ".
constexpr std::string_view kUploadFileReadError = "Cannot read the report file ";
constexpr std::string_view kUploadFileTooLargeError =
    "it holds more than 64 MiB, too much for a report file";
constexpr std::string_view kUploadNotRegularFileError = "not a regular file";
constexpr std::string_view kUploadPathUnsendableError =
    "Cannot send a report file whose path holds a line break, a double quote or a zero byte";

Error FileError(const std::string& path, int error) {
    return Error{std::string(kUploadFileReadError) + path + ": " +
                 std::generic_category().message(error)};
}

Error TooLarge(const std::string& path) {
    return Error{std::string(kUploadFileReadError) + path + ": " +
                 std::string(kUploadFileTooLargeError)};
}

std::size_t BodySize(std::size_t pathSize, std::size_t fileSize) {
    return kUploadBodyPrefixHead.size() + pathSize + kUploadBodyPrefixTail.size() + fileSize +
           kUploadBodySuffix.size();
}

void AppendPrefix(std::string& body, std::string_view path) {
    body += kUploadBodyPrefixHead;
    body += path;
    body += kUploadBodyPrefixTail;
}

}  // namespace

Result<std::string> UploadBody::Load(const std::string& path) {
    // The path goes into a quoted header line of the part; a line break there
    // would end that header early, a double quote would close the file name
    // and let the rest of the path pose as more parameters, and a zero byte
    // would open another file than the one named.
    if (path.find_first_of(std::string_view("\r\n\"\0", 4)) != std::string::npos) {
        return Error{std::string(kUploadPathUnsendableError)};
    }
    // Non-blocking only so that a FIFO picked by mistake cannot hang the open;
    // it changes nothing for the regular file read below.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        return FileError(path, errno);
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        return FileError(path, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return FileError(path, EISDIR);
    }
    if (!S_ISREG(info.st_mode)) {
        return Error{std::string(kUploadFileReadError) + path + ": " +
                     std::string(kUploadNotRegularFileError)};
    }
    if (static_cast<unsigned long long>(info.st_size) > kUploadMaxFileBytes) {
        return TooLarge(path);
    }
    const auto expected = static_cast<std::size_t>(info.st_size);

    std::string body;
    body.reserve(BodySize(path.size(), expected));
    AppendPrefix(body, path);
    const std::size_t fileStart = body.size();
    // Read until the end of the file rather than trusting the size measured
    // above: the body carries exactly the bytes that were there to read.
    for (;;) {
        const std::size_t used = body.size();
        if (used - fileStart > kUploadMaxFileBytes) {
            return TooLarge(path);
        }
        // Fill the room reserved above first; it includes the suffix's bytes,
        // so the read that finds the end needs no new allocation.
        const std::size_t room =
            body.capacity() > used ? body.capacity() - used : kUploadReadChunkBytes;
        body.resize(used + room);
        const ssize_t n = ::read(file.get(), body.data() + used, room);
        if (n < 0) {
            const int error = errno;
            body.resize(used);
            if (error == EINTR) {
                continue;
            }
            return FileError(path, error);
        }
        body.resize(used + static_cast<std::size_t>(n));
        if (n == 0) {
            break;
        }
    }
    body += kUploadBodySuffix;
    return body;
}

std::string UploadBody::Compose(std::string_view path, std::string_view file) {
    std::string body;
    body.reserve(BodySize(path.size(), file.size()));
    AppendPrefix(body, path);
    body += file;
    body += kUploadBodySuffix;
    return body;
}

}  // namespace vok
