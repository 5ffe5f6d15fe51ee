#pragma once

#include <condition_variable>
#include <cstddef>
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
// Thread rules: Store is called from any number of threads, each with its
// own store (its own connection).
class CommitBatcher {
public:
    explicit CommitBatcher(std::size_t maxBatch = 64) : m_maxBatch(maxBatch) {}

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

    std::size_t m_maxBatch;
    std::mutex m_mutex;
    std::condition_variable m_done;
    std::deque<Pending*> m_queue;
    bool m_leading = false;
};

}  // namespace vok::center
