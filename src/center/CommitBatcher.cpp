#include "center/CommitBatcher.h"

#include <chrono>
#include <vector>

namespace vok::center {

Result<StoreOutcome> CommitBatcher::Store(ReportStore& store, const IndexedReport& report) {
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
        Result<std::vector<StoreOutcome>> outcomes = store.StoreBatch(reports);
        lock.lock();
        for (std::size_t i = 0; i < batch.size(); ++i) {
            batch[i]->result = outcomes ? Result<StoreOutcome>(outcomes.value()[i])
                                        : Result<StoreOutcome>(Error{outcomes.error()});
        }
        m_leading = false;
        m_done.notify_all();
    }
    return std::move(*mine.result);
}

}  // namespace vok::center
