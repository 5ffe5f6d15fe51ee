#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "platform/FileDescriptor.h"

namespace vok {

namespace {

constexpr int kTempAttempts = 16;
constexpr std::size_t kRandomChars = 12;
// Room for the dot, the random part and ".tmp" within a 255-byte name.
constexpr std::size_t kMaxNameStemBytes = 200;
constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask, as for any new file
constexpr std::string_view kNameAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string Reason(int error) {
    return std::generic_category().message(error);
}

// kRandomChars letters and digits from the kernel's random source.
Result<std::string> RandomPart() {
    std::array<std::uint8_t, kRandomChars> bytes{};
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::getrandom(bytes.data() + got, bytes.size() - got, 0);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Error{Reason(errno)};
        }
        got += static_cast<std::size_t>(n);
    }
    std::string text;
    for (std::uint8_t b : bytes) {
        text += kNameAlphabet[b % kNameAlphabet.size()];
    }
    return text;
}

// Writes every byte, retrying short writes and interruptions; errno of the
// failing write, or 0.
int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// Removes the temporary file and hands back the reason of the call that
// failed, untouched by the clean-up.
Error Abandon(int folder, const std::string& temp, int fd, int error) {
    if (fd >= 0) {
        ::close(fd);
    }
    ::unlinkat(folder, temp.c_str(), 0);
    return Error{Reason(error)};
}

// Moves the finished temporary file to `name` unless an entry is there:
// EEXIST then.
int PlaceWithoutReplacing(int folder, const std::string& temp, const std::string& name) {
    if (::renameat2(folder, temp.c_str(), folder, name.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    // A file system without the flag: a hard link does the same.
    if (::linkat(folder, temp.c_str(), folder, name.c_str(), 0) != 0) {
        return errno;
    }
    ::unlinkat(folder, temp.c_str(), 0);
    return 0;
}

}  // namespace

Status AtomicFile::Write(const std::string& path, std::string_view bytes) {
    const std::filesystem::path target(path);
    const std::filesystem::path folder = target.parent_path();
    const std::string folderPath = folder.empty() ? std::string(".") : folder.string();
    const FileDescriptor dir(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid()) {
        return Error{Reason(errno)};
    }
    if (Status written = WriteAt(dir.get(), target.filename().string(), bytes); !written) {
        return written;
    }
    // The new name itself reaches the disk with the folder's entry; a folder
    // that cannot be synced (some network file systems) still holds the file.
    ::fsync(dir.get());
    return Done{};
}

Status AtomicFile::WriteAt(int folder, const std::string& name, std::string_view bytes,
                           IfPresent ifPresent) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
        return Error{Reason(EISDIR)};
    }

    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < kTempAttempts && fd < 0; ++attempt) {
        const Result<std::string> random = RandomPart();
        if (!random) {
            return Error{random.error()};
        }
        // Appended piece by piece: g++ 12 at -O3 sees a false overlap
        // (-Wrestrict) in the chained operator+.
        temp.assign(1, '.');
        temp.append(name, 0, kMaxNameStemBytes);
        temp.append(1, '.');
        temp.append(*random);
        temp.append(".tmp");
        // O_EXCL with O_CREAT refuses any existing name, a dangling link
        // included; O_NOFOLLOW says the same for the reader of this line.
        fd = ::openat(folder, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      kNewFileMode);
        if (fd < 0 && errno != EEXIST) {
            return Error{Reason(errno)};
        }
    }
    if (fd < 0) {
        return Error{Reason(EEXIST)};
    }

    if (const int error = WriteAll(fd, bytes); error != 0) {
        return Abandon(folder, temp, fd, error);
    }
    if (::fsync(fd) != 0) {
        return Abandon(folder, temp, fd, errno);
    }
    if (::close(fd) != 0) {
        return Abandon(folder, temp, -1, errno);
    }
    if (ifPresent == IfPresent::Replace) {
        if (::renameat(folder, temp.c_str(), folder, name.c_str()) != 0) {
            return Abandon(folder, temp, -1, errno);
        }
        return Done{};
    }
    const int placed = PlaceWithoutReplacing(folder, temp, name);
    if (placed != 0) {
        Status failed = Abandon(folder, temp, -1, placed);
        return placed == EEXIST ? Status(Done{}) : failed;
    }
    return Done{};
}

}  // namespace vok
