#include "center/CenterMetrics.h"

#include <cstdio>

namespace vok::center {

void CenterMetrics::CountStored(std::chrono::nanoseconds storeTime) {
    ++m_stored;
    Observe(storeTime);
}

void CenterMetrics::CountDuplicate(std::chrono::nanoseconds storeTime) {
    ++m_duplicates;
    Observe(storeTime);
}

void CenterMetrics::CountRejected(RejectReason reason) {
    ++m_rejected[static_cast<std::size_t>(reason)];
}

std::uint64_t CenterMetrics::Rejected(RejectReason reason) const {
    return m_rejected[static_cast<std::size_t>(reason)];
}

void CenterMetrics::Observe(std::chrono::nanoseconds storeTime) {
    const double seconds = std::chrono::duration<double>(storeTime).count();
    for (std::size_t i = 0; i < kBuckets.size(); ++i) {
        if (seconds <= kBuckets[i]) {
            ++m_bucketCounts[i];
        }
    }
    ++m_observations;
    m_totalNanoseconds += static_cast<std::uint64_t>(storeTime.count());
}

std::string_view CenterMetrics::ReasonLabel(RejectReason reason) {
    switch (reason) {
        case RejectReason::BadRequest:
            return "bad_request";
        case RejectReason::NoUserfile:
            return "no_userfile";
        case RejectReason::TooLarge:
            return "too_large";
        case RejectReason::NotReport:
            return "not_report";
        case RejectReason::StoreFailed:
            return "store_failed";
    }
    return "other";
}

std::string CenterMetrics::Render() const {
    std::string out;
    const auto line = [&out](std::string_view name, std::string_view labels, auto value) {
        out += name;
        if (!labels.empty()) {
            out += '{';
            out += labels;
            out += '}';
        }
        out += ' ';
        out += std::to_string(value);
        out += '\n';
    };
    out += "# HELP vok_center_uploads_total Uploads and imports by outcome.\n";
    out += "# TYPE vok_center_uploads_total counter\n";
    line("vok_center_uploads_total", "outcome=\"stored\"", m_stored.load());
    line("vok_center_uploads_total", "outcome=\"duplicate\"", m_duplicates.load());
    out += "# HELP vok_center_uploads_rejected_total Refused uploads by reason.\n";
    out += "# TYPE vok_center_uploads_rejected_total counter\n";
    for (std::size_t i = 0; i < kReasons; ++i) {
        line("vok_center_uploads_rejected_total",
             "reason=\"" + std::string(ReasonLabel(static_cast<RejectReason>(i))) + "\"",
             m_rejected[i].load());
    }
    out += "# HELP vok_center_store_seconds Time to store one report, commit included.\n";
    out += "# TYPE vok_center_store_seconds histogram\n";
    for (std::size_t i = 0; i < kBuckets.size(); ++i) {
        char bound[32];
        std::snprintf(bound, sizeof bound, "%g", kBuckets[i]);
        line("vok_center_store_seconds_bucket", "le=\"" + std::string(bound) + "\"",
             m_bucketCounts[i].load());
    }
    line("vok_center_store_seconds_bucket", "le=\"+Inf\"", m_observations.load());
    char sum[64];
    std::snprintf(sum, sizeof sum, "%.9f", static_cast<double>(m_totalNanoseconds.load()) / 1e9);
    out += "vok_center_store_seconds_sum ";
    out += sum;
    out += '\n';
    line("vok_center_store_seconds_count", "", m_observations.load());
    out += "# HELP vok_center_http_requests_total Requests answered by routes.\n";
    out += "# TYPE vok_center_http_requests_total counter\n";
    line("vok_center_http_requests_total", "", m_requests.load());
    return out;
}

}  // namespace vok::center
