#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "center/IndexedReport.h"
#include "center/ReportStore.h"

namespace vok::center {

// Gathers the reports that several workers store at the same moment into
// one transaction: the first to arrive stores everything waiting (on its own
// connection), the others wait for its commit. A durable commit costs one
// flush to disk, so thirty-two concurrent uploads cost one flush instead of
// thirty-two, and nobody is answered before the commit that holds its report.
//
// Copying the log into the database file (a checkpoint) is left out of
// the commits: the leader hands the next batch on first and checkpoints
// after, while the next leader writes. A log that has grown past a bound is
// checkpointed before the next batch starts, so that the database can start
// the log over (it only does so when no writer is ahead of the checkpoint).
//
// Thread rules: Store is called from any number of threads, each with its
// own store (its own connection).
class CommitBatcher {
public:
    // About 16 MiB of log at 16 KiB pages: the checkpoint that lets the log
    // start over then copies only the last batch, the rest is copied already.
    static constexpr std::int64_t kLogRestartFrames = 1000;

    explicit CommitBatcher(std::size_t maxBatch = 64,
                           std::int64_t logRestartFrames = kLogRestartFrames)
        : m_maxBatch(maxBatch), m_logRestartFrames(logRestartFrames) {}

    Result<StoreOutcome> Store(ReportStore& store, const IndexedReport& report);

    // Stores several reports in one transaction; when the database refuses
    // that, each on its own, so that one report it will not take (or one
    // that fails for any reason) costs only its own upload.
    static std::vector<Result<StoreOutcome>> StoreTogether(
        ReportStore& store, const std::vector<const IndexedReport*>& reports);

private:
    struct Pending {
        const IndexedReport* report = nullptr;
        std::optional<Result<StoreOutcome>> result;
    };

    // Checkpoints this connection's log unless one is running already;
    // called with the lock held, returns with it held.
    void Checkpoint(ReportStore& store, std::unique_lock<std::mutex>& lock);

    std::size_t m_maxBatch;
    std::int64_t m_logRestartFrames;
    std::mutex m_mutex;
    std::condition_variable m_done;
    std::deque<Pending*> m_queue;
    bool m_leading = false;
    bool m_checkpointing = false;
    std::int64_t m_logFrames = 0;
};

}  // namespace vok::center
