#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/FileDescriptor.h"

namespace vok {

namespace {

constexpr std::size_t kChunkBytes = std::size_t{64} * 1024;
constexpr std::size_t kBytesPerMiB = std::size_t{1024} * 1024;

std::string Reason(int error) {
    return std::generic_category().message(error);
}

// errno of a failed open, or 0 with the bytes read.
Result<std::string> ReadOpen(const std::string& path, std::size_t limit, int& openError) {
    openError = 0;
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) {
        openError = errno;
        return Error{Reason(openError)};
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        return Error{Reason(errno)};
    }
    if (S_ISDIR(info.st_mode)) {
        return Error{Reason(EISDIR)};
    }
    if (!S_ISREG(info.st_mode)) {
        return Error{"not a regular file"};
    }
    if (static_cast<unsigned long long>(info.st_size) > limit) {
        return Error{RegularFile::TooLargeReason(limit)};
    }
    std::string bytes;
    // One byte of room past the size, so that the read that finds the end
    // needs no larger buffer.
    bytes.reserve(static_cast<std::size_t>(info.st_size) + 1);
    // Read to the end rather than trusting the size: a file that grows while
    // it is read is still cut off at the cap.
    for (;;) {
        const std::size_t used = bytes.size();
        if (used > limit) {
            return Error{RegularFile::TooLargeReason(limit)};
        }
        const std::size_t room = bytes.capacity() > used ? bytes.capacity() - used : kChunkBytes;
        bytes.resize(used + room);
        const ssize_t n = ::read(file.get(), bytes.data() + used, room);
        if (n < 0) {
            const int error = errno;
            bytes.resize(used);
            if (error == EINTR) {
                continue;
            }
            return Error{Reason(error)};
        }
        bytes.resize(used + static_cast<std::size_t>(n));
        if (n == 0) {
            return bytes;
        }
    }
}

}  // namespace

Result<std::string> RegularFile::Read(const std::string& path, std::size_t limit) {
    int openError = 0;
    return ReadOpen(path, limit, openError);
}

Result<std::optional<std::string>> RegularFile::ReadIfPresent(const std::string& path,
                                                              std::size_t limit) {
    int openError = 0;
    Result<std::string> bytes = ReadOpen(path, limit, openError);
    if (bytes) {
        return std::optional<std::string>(std::move(bytes).value());
    }
    if (openError == ENOENT) {
        return std::optional<std::string>();
    }
    return Error{bytes.error()};
}

std::string RegularFile::TooLargeReason(std::size_t limit) {
    if (limit % kBytesPerMiB == 0) {
        return "larger than " + std::to_string(limit / kBytesPerMiB) + " MiB";
    }
    return "larger than " + std::to_string(limit) + " bytes";
}

}  // namespace vok
