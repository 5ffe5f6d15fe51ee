#pragma once

#include <string>

#include "core/Result.h"

namespace vok {

// What became of one attempt to send a report file, in the terms the outbox
// needs: whether the service center decided on it, or could not take it now.
struct UploadResult {
    enum class Outcome {
        Accepted,     // the reply's first line was "200"
        Refused,      // the center answered anything else: it decided
        Unavailable,  // not reached, TLS refused, the transfer failed, or HTTP 5xx
        NotSent,      // the file could not be read, or the client not started
    };

    Outcome outcome = Outcome::NotSent;
    long httpStatus = 0;  // 0 when no reply came
    std::string error;    // the reason, where the attempt ended in an error

    // As the wizard's Send and `vok upload` show it: the verdict, or the
    // error's own text. An HTTP 5xx reply without "200" is a "no" there, as
    // it has always been.
    Result<bool> ToResult() const;

    // The center could not take the report now: it goes into the outbox.
    bool Retryable() const { return outcome == Outcome::Unavailable; }
    // The center decided (either way): the report leaves the outbox.
    bool Decided() const { return outcome == Outcome::Accepted || outcome == Outcome::Refused; }
};

}  // namespace vok
