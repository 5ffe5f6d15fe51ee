#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace vok::center {

// Why an upload was refused; each has its own counter.
enum class RejectReason {
    BadRequest,   // not multipart, cut short, malformed
    NoUserfile,   // no `userfile` field with a file
    TooLarge,     // more than the report size limit
    NotReport,    // does not read as a report file
    StoreFailed,  // the database did not take it
};

// This process's counters for /metrics. Prometheus scrapes every instance
// and adds them up, so nothing here needs to be shared.
class CenterMetrics {
public:
    void CountStored(std::chrono::nanoseconds storeTime);
    void CountDuplicate(std::chrono::nanoseconds storeTime);
    void CountRejected(RejectReason reason);
    void CountRequest() { ++m_requests; }

    std::uint64_t Stored() const { return m_stored; }
    std::uint64_t Duplicates() const { return m_duplicates; }
    std::uint64_t Rejected(RejectReason reason) const;

    // The Prometheus text exposition of every counter.
    std::string Render() const;

    static std::string_view ReasonLabel(RejectReason reason);

private:
    void Observe(std::chrono::nanoseconds storeTime);

    static constexpr std::array<double, 10> kBuckets = {0.001, 0.0025, 0.005, 0.01, 0.025,
                                                        0.05,  0.1,    0.25,  1.0,  5.0};
    static constexpr std::size_t kReasons = 5;
    std::atomic<std::uint64_t> m_stored{0};
    std::atomic<std::uint64_t> m_duplicates{0};
    std::atomic<std::uint64_t> m_requests{0};
    std::array<std::atomic<std::uint64_t>, kReasons> m_rejected{};
    std::array<std::atomic<std::uint64_t>, kBuckets.size()> m_bucketCounts{};
    std::atomic<std::uint64_t> m_observations{0};
    std::atomic<std::uint64_t> m_totalNanoseconds{0};
};

}  // namespace vok::center
