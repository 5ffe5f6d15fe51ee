#include "center/CommitBatcher.h"

#include <chrono>
#include <vector>

namespace vok::center {

Result<StoreOutcome> CommitBatcher::Store(ReportStore& store, const IndexedReport& report) {
    // Only this batcher's leaders checkpoint the log of the connections it
    // is given; an error here shows again, and is answered, at the commit.
    (void)store.DeferCheckpoints();
    Pending mine;
    mine.report = &report;
    std::unique_lock lock(m_mutex);
    m_queue.push_back(&mine);
    while (!mine.result) {
        if (m_leading) {
            // The leader always ends its batch (the database bounds its own
            // waits); the slice only re-checks.
            m_done.wait_for(lock, std::chrono::seconds(1));
            continue;
        }
        m_leading = true;
        std::vector<Pending*> batch;
        while (!m_queue.empty() && batch.size() < m_maxBatch) {
            batch.push_back(m_queue.front());
            m_queue.pop_front();
        }
        lock.unlock();
        std::vector<const IndexedReport*> reports;
        reports.reserve(batch.size());
        for (const Pending* pending : batch) {
            reports.push_back(pending->report);
        }
        std::vector<Result<StoreOutcome>> outcomes = StoreTogether(store, reports);
        lock.lock();
        for (std::size_t i = 0; i < batch.size(); ++i) {
            batch[i]->result = std::move(outcomes[i]);
        }
        if (m_logFrames >= m_logRestartFrames && !m_checkpointing) {
            // Nobody writes until the log is copied whole: the next commit
            // starts it over.
            Checkpoint(store, lock);
            m_leading = false;
            m_done.notify_all();
        } else {
            // The batch is answered and the next one may start; the copy
            // runs beside it.
            m_leading = false;
            m_done.notify_all();
            Checkpoint(store, lock);
        }
    }
    return std::move(*mine.result);
}

void CommitBatcher::Checkpoint(ReportStore& store, std::unique_lock<std::mutex>& lock) {
    if (m_checkpointing) {
        return;
    }
    m_checkpointing = true;
    lock.unlock();
    const Result<std::int64_t> frames = store.Checkpoint();
    lock.lock();
    m_checkpointing = false;
    if (frames) {
        m_logFrames = frames.value();
    }
}

std::vector<Result<StoreOutcome>> CommitBatcher::StoreTogether(
    ReportStore& store, const std::vector<const IndexedReport*>& reports) {
    std::vector<Result<StoreOutcome>> results;
    results.reserve(reports.size());
    Result<std::vector<StoreOutcome>> together = store.StoreBatch(reports);
    if (together) {
        for (const StoreOutcome& outcome : together.value()) {
            results.emplace_back(outcome);
        }
        return results;
    }
    if (reports.size() == 1) {
        results.emplace_back(Error{together.error()});
        return results;
    }
    for (const IndexedReport* report : reports) {
        results.push_back(store.Store(*report));
    }
    return results;
}

}  // namespace vok::center
