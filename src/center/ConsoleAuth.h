#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "center/ReportStore.h"
#include "core/Result.h"

namespace vok::center {

// Console users, sessions and the login rate limit, all kept in the store
// so that every instance of the center knows them. Passwords are stored as
// Argon2id hashes (libsodium); a session cookie carries a random token and
// the store only its SHA-256.
//
// Thread rules: stateless apart from a process-wide cap on concurrent
// password hashing (Argon2id takes 64 MiB each); call from any thread with
// that thread's store.
class ConsoleAuth {
public:
    static constexpr std::string_view kCookieName = "vok_session";
    static constexpr std::int64_t kSessionSeconds = std::int64_t{12} * 3600;
    static constexpr std::int64_t kFailureWindowSeconds = std::int64_t{15} * 60;
    static constexpr std::int64_t kMaxFailures = 10;

    // Busy: too many password checks waiting already; try again shortly.
    enum class Outcome { Ok, Refused, Limited, Busy, StoreFailed };
    struct Login {
        Outcome outcome = Outcome::Refused;
        std::string user;
        std::string token;  // the new session's, on Ok with a session
        std::string error;  // on StoreFailed
    };

    static Result<std::string> HashPassword(std::string_view password);
    // Whether the password matches; nothing when too many checks wait.
    static std::optional<bool> VerifyPassword(const std::string& hash, std::string_view password);
    // A name fit for a console user (and for HTTP Basic): 1 to 64 printable
    // ASCII characters without blanks or ":".
    static bool ValidUserName(std::string_view name);

    // Checks the password; on success opens a session when asked to.
    static Login LogIn(ReportStore& store, const std::string& user, std::string_view password,
                       const std::string& address, bool openSession);
    // The user of the session named by the Cookie header, if it is live.
    static Result<std::optional<std::string>> SessionUser(ReportStore& store,
                                                          std::string_view cookieHeader);
    // "Basic base64(user:password)" checked like a login.
    static Login Basic(ReportStore& store, std::string_view authorization,
                       const std::string& address);
    static Status LogOut(ReportStore& store, std::string_view cookieHeader);

    // The token in a Cookie header, or "".
    static std::string CookieToken(std::string_view cookieHeader);
    static std::int64_t Now();
};

}  // namespace vok::center
