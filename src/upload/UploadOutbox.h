#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/Result.h"
#include "platform/FileDescriptor.h"
#include "upload/ServiceCenterUpload.h"
#include "upload/UploadResult.h"

namespace vok {

// The reports that the service center could not take when they were sent:
// the folder OUTBOX in the data folder's REPORT folder, one small file per
// report that holds the report's full path and, on a second line, when it
// was queued (nanoseconds since the epoch). `vok upload --pending` (and the
// user's timer behind it) sends them later.
//
// Rules for callers, any number of processes at once:
// - Add and Remove are each one atomic step. An entry is written whole to a
//   new file of its own (O_EXCL, a random name) and renamed into place
//   without replacing one that is there, so nobody ever reads half an entry
//   and an entry keeps its place in the queue when its report fails again.
// - SendAll holds the outbox's lock (flock on OUTBOX/.lock) while it sends;
//   a second SendAll fails at once instead of waiting, so no report is sent
//   twice by two of them. A single send (the wizard's, `vok upload FILE`)
//   takes no lock: it only adds or removes its own entry.
// - Nothing follows a symbolic link: OUTBOX is opened with O_NOFOLLOW and
//   everything inside it is reached relative to that open folder.
class UploadOutbox {
public:
    explicit UploadOutbox(std::filesystem::path reportFolder);

    // The outbox's own folder, for messages.
    std::filesystem::path Folder() const;

    // What a send means for the outbox: a center that could not take the
    // report now puts it in, a center that decided takes it out, a report
    // that never left the machine changes nothing.
    Status Settle(const std::string& reportPath, const UploadResult& result) const;

    // Puts the report in (creating REPORT and OUTBOX when missing; the data
    // folder must exist). A report already in stays as it was.
    Status Add(const std::string& reportPath) const;
    // Takes the report out; a report that was not in is no error.
    Status Remove(const std::string& reportPath) const;

    struct Entry {
        std::string name;        // the entry's file name in the outbox
        std::string reportPath;  // empty when the entry cannot be read
        std::string problem;     // why it cannot be read
    };
    // Oldest first; none when the outbox does not exist.
    Result<std::vector<Entry>> List() const;

    // What became of one report in SendAll.
    struct Sent {
        enum class Fate {
            Accepted,  // the center said "200": out of the outbox
            Refused,   // the center decided otherwise: out of the outbox
            Kept,      // not taken now, or not readable: still in
            Dropped,   // the report file is gone: nothing left to send
        };
        Entry entry;
        Fate fate = Fate::Kept;
        std::string reason;  // the error's own text, where there is one
    };
    // Sends every report, oldest first, through `client`, and settles each
    // before the next; `told` hears of each as it is settled. true when the
    // outbox is empty at the end. An error when another SendAll holds the
    // lock, or the outbox cannot be read.
    Result<bool> SendAll(const ServiceCenterUpload& client,
                         const std::function<void(const Sent&)>& told) const;

    // The name an entry for this report has: the report's file name, made
    // safe, and a hash of its full path, so reports of one name from two
    // folders do not meet.
    static std::string EntryName(const std::string& reportPath);

private:
    // The outbox folder opened, created first when `create` says so; an
    // invalid descriptor and no error when it is missing and not created.
    Result<FileDescriptor> OpenFolder(bool create) const;
    Status RemoveEntry(int folder, const std::string& name) const;

    std::filesystem::path m_reportFolder;
};

}  // namespace vok
