#include "upload/UploadOutbox.h"
#include "platform/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <system_error>
#include <tuple>
#include <utility>

namespace vok {

namespace {

constexpr std::string_view kOutboxName = "OUTBOX";
constexpr std::string_view kLockName = ".lock";
// An entry holds one path and a line end; anything bigger was not written
// by this program.
constexpr std::size_t kMaxEntryBytes = 8192;
// Room for the hash and a file name that every file system takes.
constexpr std::size_t kMaxNameStem = 120;
constexpr std::string_view kBusy = "another 'vok upload --pending' is sending the outbox right now";

std::string Reason(int error) {
    return std::generic_category().message(error);
}

Error FolderError(const std::filesystem::path& folder, int error) {
    // A link or a file where the folder should be.
    if (error == ELOOP || error == ENOTDIR) {
        return Error{"Cannot use the outbox " + folder.string() + ": not a folder"};
    }
    return Error{"Cannot use the outbox " + folder.string() + ": " + Reason(error)};
}

std::uint64_t Fnv1a(std::string_view text) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

bool SafeNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.';
}

struct Listed {
    UploadOutbox::Entry entry;
    std::int64_t queued = 0;  // nanoseconds since the epoch
};

std::int64_t Nanoseconds(const struct timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

// The time an entry was made, from its second line: finer than a file
// system's time stamps, so that two reports queued one right after the
// other keep their order.
std::optional<std::int64_t> ParseQueued(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < 0) {
        return std::nullopt;
    }
    return value;
}

// Reads one entry without following a link or blocking on a FIFO.
Listed ReadEntry(int folder, const std::string& name) {
    Listed listed{{name, {}, {}}, 0};
    UploadOutbox::Entry& entry = listed.entry;
    const FileDescriptor file(
        ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file.valid()) {
        entry.problem = errno == ELOOP ? "a link, not an entry" : Reason(errno);
        return listed;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        entry.problem = "not a regular file";
        return listed;
    }
    listed.queued = Nanoseconds(info.st_mtim);
    std::string text(kMaxEntryBytes + 1, '\0');
    std::size_t used = 0;
    for (;;) {
        const ssize_t n = ::read(file.get(), text.data() + used, text.size() - used);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            entry.problem = Reason(errno);
            return listed;
        }
        used += static_cast<std::size_t>(n);
        if (n == 0 || used == text.size()) {
            break;
        }
    }
    text.resize(used);
    const std::size_t pathEnd = text.find('\n');
    std::string_view rest = pathEnd == std::string::npos
                                ? std::string_view{}
                                : std::string_view(text).substr(pathEnd + 1);
    if (!rest.empty() && rest.back() == '\n') {
        rest.remove_suffix(1);
    }
    const std::string_view path = std::string_view(text).substr(0, pathEnd);
    if (used > kMaxEntryBytes || path.empty() ||
        path.find_first_of(std::string_view("\r\0", 2)) != std::string::npos) {
        entry.problem = "does not hold one report path";
        return listed;
    }
    if (const std::optional<std::int64_t> queued = ParseQueued(rest)) {
        listed.queued = *queued;
    }
    entry.reportPath = std::string(path);
    return listed;
}

}  // namespace

UploadOutbox::UploadOutbox(std::filesystem::path reportFolder)
    : m_reportFolder(std::move(reportFolder)) {}

std::filesystem::path UploadOutbox::Folder() const {
    return m_reportFolder / kOutboxName;
}

std::string UploadOutbox::EntryName(const std::string& reportPath) {
    std::string stem = std::filesystem::path(reportPath).filename().string();
    for (char& c : stem) {
        if (!SafeNameChar(c)) {
            c = '_';
        }
    }
    // A leading dot would hide the entry among the outbox's own files.
    if (!stem.empty() && stem.front() == '.') {
        stem.front() = '_';
    }
    stem.resize(std::min(stem.size(), kMaxNameStem));
    std::array<char, 17> hash{};
    std::snprintf(hash.data(), hash.size(), "%016llx",
                  static_cast<unsigned long long>(Fnv1a(reportPath)));
    return stem + "~" + hash.data();
}

Result<FileDescriptor> UploadOutbox::OpenFolder(bool create) const {
    const std::filesystem::path folder = Folder();
    if (create) {
        // Only the REPORT folder is made here; a missing data folder is an error.
        if (::mkdir(m_reportFolder.c_str(), 0777) != 0 && errno != EEXIST) {
            return FolderError(folder, errno);
        }
        if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
            return FolderError(folder, errno);
        }
    }
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid()) {
        if (!create && errno == ENOENT) {
            return FileDescriptor();
        }
        return FolderError(folder, errno);
    }
    return fd;
}

Status UploadOutbox::Settle(const std::string& reportPath, const UploadResult& result) const {
    if (result.Retryable()) {
        return Add(reportPath);
    }
    if (result.Decided()) {
        return Remove(reportPath);
    }
    return Done{};
}

Status UploadOutbox::Add(const std::string& reportPath) const {
    if (reportPath.empty() ||
        reportPath.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
        return Error{"Cannot put " + reportPath + " into the outbox: not a report path"};
    }
    Result<FileDescriptor> folder = OpenFolder(true);
    if (!folder) {
        return Error{folder.error()};
    }
    const int dir = folder->get();
    const std::string name = EntryName(reportPath);
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const std::string text = reportPath + "\n" + std::to_string(Nanoseconds(now)) + "\n";
    // A report that waits already keeps its place in the queue.
    if (const Status written = AtomicFile::WriteAt(dir, name, text, AtomicFile::IfPresent::Keep);
        !written) {
        return Error{"Cannot put " + reportPath + " into the outbox " + Folder().string() + ": " +
                     written.error()};
    }
    return Done{};
}

Status UploadOutbox::Remove(const std::string& reportPath) const {
    Result<FileDescriptor> folder = OpenFolder(false);
    if (!folder) {
        return Error{folder.error()};
    }
    if (!folder->valid()) {
        return Done{};
    }
    return RemoveEntry(folder->get(), EntryName(reportPath));
}

Status UploadOutbox::RemoveEntry(int folder, const std::string& name) const {
    if (::unlinkat(folder, name.c_str(), 0) != 0 && errno != ENOENT) {
        return Error{"Cannot take " + name + " out of the outbox " + Folder().string() + ": " +
                     Reason(errno)};
    }
    return Done{};
}

Result<std::vector<UploadOutbox::Entry>> UploadOutbox::List() const {
    Result<FileDescriptor> folder = OpenFolder(false);
    if (!folder) {
        return Error{folder.error()};
    }
    std::vector<Entry> entries;
    if (!folder->valid()) {
        return entries;
    }
    // The stream gets its own descriptor, so that closing it leaves ours.
    const int dup = ::fcntl(folder->get(), F_DUPFD_CLOEXEC, 0);
    std::unique_ptr<DIR, int (*)(DIR*)> stream(dup >= 0 ? ::fdopendir(dup) : nullptr, ::closedir);
    if (!stream) {
        const int error = errno;
        if (dup >= 0) {
            ::close(dup);
        }
        return FolderError(Folder(), error);
    }
    std::vector<Listed> listed;
    while (const dirent* item = ::readdir(stream.get())) {
        const std::string name = item->d_name;
        if (name.empty() || name.front() == '.') {
            continue;  // ".", "..", the lock and entries still being written
        }
        listed.push_back(ReadEntry(folder->get(), name));
    }
    std::sort(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) {
        return std::tie(a.queued, a.entry.name) < std::tie(b.queued, b.entry.name);
    });
    for (Listed& one : listed) {
        entries.push_back(std::move(one.entry));
    }
    return entries;
}

Result<bool> UploadOutbox::SendAll(const ServiceCenterUpload& client,
                                   const std::function<void(const Sent&)>& told) const {
    Result<FileDescriptor> folder = OpenFolder(false);
    if (!folder) {
        return Error{folder.error()};
    }
    if (!folder->valid()) {
        return true;  // never used: nothing waits
    }
    // The lock file only has to be the same file for every sender: the first
    // one makes it the way every file here is made (never through a link)
    // and keeps one already there; then it is only opened for reading, never
    // through a link, and only a regular file counts.
    const std::string lockName(kLockName);
    if (const Status made =
            AtomicFile::WriteAt(folder->get(), lockName, "", AtomicFile::IfPresent::Keep);
        !made) {
        return Error{"Cannot use the outbox " + (Folder() / kLockName).string() + ": " +
                     made.error()};
    }
    const FileDescriptor lock(
        ::openat(folder->get(), lockName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!lock.valid()) {
        return FolderError(Folder() / kLockName, errno);
    }
    struct stat lockInfo {};
    if (::fstat(lock.get(), &lockInfo) != 0 || !S_ISREG(lockInfo.st_mode)) {
        return FolderError(Folder() / kLockName, EINVAL);
    }
    if (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK ? Error{std::string(kBusy)}
                                    : FolderError(Folder() / kLockName, errno);
    }

    Result<std::vector<Entry>> entries = List();
    if (!entries) {
        return Error{entries.error()};
    }
    for (const Entry& entry : *entries) {
        Sent sent{entry, Sent::Fate::Kept, {}};
        if (!sent.entry.problem.empty()) {
            sent.reason = sent.entry.problem;
            told(sent);
            continue;
        }
        struct stat info {};
        if (::stat(sent.entry.reportPath.c_str(), &info) != 0 && errno == ENOENT) {
            sent.fate = Sent::Fate::Dropped;
            sent.reason = "the report file is no longer there";
        } else {
            const UploadResult result = client.Send(sent.entry.reportPath);
            sent.reason = result.error;
            if (result.outcome == UploadResult::Outcome::Accepted) {
                sent.fate = Sent::Fate::Accepted;
            } else if (result.outcome == UploadResult::Outcome::Refused) {
                sent.fate = Sent::Fate::Refused;
            } else if (result.error.empty()) {
                sent.reason = "the server answered HTTP " + std::to_string(result.httpStatus);
            }
        }
        if (sent.fate != Sent::Fate::Kept) {
            // Settled all the same; the entry left behind keeps the outbox
            // from ending empty, and the reason says why.
            if (const Status removed = RemoveEntry(folder->get(), sent.entry.name); !removed) {
                sent.reason = removed.error();
            }
        }
        told(sent);
    }
    const Result<std::vector<Entry>> left = List();
    if (!left) {
        return Error{left.error()};
    }
    return left->empty();
}

}  // namespace vok
