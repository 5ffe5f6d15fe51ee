#include "center/ConsoleAuth.h"

#include <sodium.h>

#include <cctype>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

#include "center/ReportIndexer.h"
#include "platform/AsciiText.h"

namespace vok::center {

namespace {

constexpr std::size_t kTokenBytes = 32;
constexpr std::size_t kMaxUserName = 64;
// One at a time keeps the center's memory bounded under a flood of logins.
constexpr int kMaxConcurrentHashes = 1;
// A script that sends HTTP Basic with every API call would otherwise pay a
// full Argon2id run each time.
constexpr std::int64_t kVerifiedSeconds = 60;
constexpr std::size_t kMaxVerified = 1024;

// At most a few Argon2id runs at once: each takes 64 MiB and a core.
class HashGate {
public:
    // Waits for a turn; with mayQueue false, gives up at once when a few
    // others already wait, so that a flood of logins cannot hold every
    // worker of the server (uploads need none of this).
    bool Enter(bool mayQueue) {
        std::unique_lock lock(m_mutex);
        if (!mayQueue && m_waiting >= kMaxWaiting) {
            return false;
        }
        ++m_waiting;
        while (m_busy >= kMaxConcurrentHashes) {
            m_free.wait_for(lock, std::chrono::seconds(1));
        }
        --m_waiting;
        ++m_busy;
        return true;
    }
    void Leave() {
        {
            const std::lock_guard lock(m_mutex);
            --m_busy;
        }
        m_free.notify_one();
    }

private:
    static constexpr int kMaxWaiting = 4;
    std::mutex m_mutex;
    std::condition_variable m_free;
    int m_busy = 0;
    int m_waiting = 0;
};

HashGate& Gate() {
    static HashGate gate;
    return gate;
}

class GateEntry {
public:
    explicit GateEntry(bool mayQueue) : m_entered(Gate().Enter(mayQueue)) {}
    ~GateEntry() {
        if (m_entered) {
            Gate().Leave();
        }
    }
    GateEntry(const GateEntry&) = delete;
    GateEntry& operator=(const GateEntry&) = delete;
    bool entered() const { return m_entered; }

private:
    bool m_entered;
};

bool SodiumReady() {
    static const bool ready = ::sodium_init() >= 0;
    return ready;
}

// Recently verified (stored hash, password) pairs, by a digest of both: a
// changed password has another stored hash and misses. Only a cache; every
// instance can verify on its own.
class VerifiedCache {
public:
    bool Contains(const std::string& key, std::int64_t now) {
        const std::lock_guard lock(m_mutex);
        const auto it = m_entries.find(key);
        return it != m_entries.end() && it->second > now;
    }
    void Add(const std::string& key, std::int64_t now) {
        const std::lock_guard lock(m_mutex);
        if (m_entries.size() >= kMaxVerified) {
            m_entries.clear();
        }
        m_entries[key] = now + kVerifiedSeconds;
    }

private:
    std::mutex m_mutex;
    std::map<std::string, std::int64_t> m_entries;
};

VerifiedCache& Verified() {
    static VerifiedCache cache;
    return cache;
}

}  // namespace

Result<std::string> ConsoleAuth::HashPassword(std::string_view password) {
    if (!SodiumReady()) {
        return Error{"libsodium could not start"};
    }
    char hash[crypto_pwhash_STRBYTES];
    const GateEntry gate(true);
    if (::crypto_pwhash_str_alg(
            hash, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
            crypto_pwhash_MEMLIMIT_INTERACTIVE, crypto_pwhash_ALG_ARGON2ID13) != 0) {
        return Error{"out of memory while hashing the password"};
    }
    return std::string(hash);
}

std::optional<bool> ConsoleAuth::VerifyPassword(const std::string& hash,
                                                std::string_view password) {
    if (!SodiumReady()) {
        return false;
    }
    const GateEntry gate(false);
    if (!gate.entered()) {
        return std::nullopt;
    }
    return ::crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

bool ConsoleAuth::ValidUserName(std::string_view name) {
    if (name.empty() || name.size() > kMaxUserName) {
        return false;
    }
    for (char c : name) {
        if (c <= ' ' || c > '~' || c == ':') {
            return false;
        }
    }
    return true;
}

std::int64_t ConsoleAuth::Now() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

ConsoleAuth::Login ConsoleAuth::LogIn(ReportStore& store, const std::string& user,
                                      std::string_view password, const std::string& address,
                                      bool openSession) {
    Login login;
    const std::int64_t now = Now();
    const Result<std::int64_t> failures = store.CountFailures(address, now - kFailureWindowSeconds);
    if (!failures) {
        return {Outcome::StoreFailed, {}, {}, failures.error()};
    }
    if (failures.value() >= kMaxFailures) {
        login.outcome = Outcome::Limited;
        return login;
    }
    const Result<std::optional<std::string>> hash = store.PasswordHash(user);
    if (!hash) {
        return {Outcome::StoreFailed, {}, {}, hash.error()};
    }
    // An unknown user costs as much time as a wrong password.
    static const std::string dummy = HashPassword("vok-center").value();
    const bool known = hash.value().has_value();
    const std::string cacheKey =
        known
            ? ReportIndexer::Sha256Hex(*hash.value() + std::string(1, '\0') + std::string(password))
            : std::string();
    const bool cached = known && Verified().Contains(cacheKey, now);
    bool good = cached;
    if (!cached) {
        const std::optional<bool> verified =
            VerifyPassword(known ? *hash.value() : dummy, password);
        if (!verified) {
            login.outcome = Outcome::Busy;
            return login;
        }
        good = *verified && known;
    }
    if (good && !cached) {
        Verified().Add(cacheKey, now);
    }
    if (!good) {
        if (Status added = store.AddFailure(address, now, now - kFailureWindowSeconds); !added) {
            return {Outcome::StoreFailed, {}, {}, added.error()};
        }
        return login;
    }
    login.outcome = Outcome::Ok;
    login.user = user;
    if (openSession) {
        unsigned char raw[kTokenBytes];
        ::randombytes_buf(raw, sizeof raw);
        static constexpr char kHex[] = "0123456789abcdef";
        for (unsigned char byte : raw) {
            login.token += kHex[byte >> 4];
            login.token += kHex[byte & 0x0F];
        }
        if (Status added = store.AddSession(ReportIndexer::Sha256Hex(login.token), user,
                                            now + kSessionSeconds);
            !added) {
            return {Outcome::StoreFailed, {}, {}, added.error()};
        }
    }
    return login;
}

std::string ConsoleAuth::CookieToken(std::string_view cookieHeader) {
    while (!cookieHeader.empty()) {
        const std::size_t semicolon = cookieHeader.find(';');
        const std::string_view pair = TrimBlanks(cookieHeader.substr(0, semicolon));
        cookieHeader = semicolon == std::string_view::npos ? std::string_view()
                                                           : cookieHeader.substr(semicolon + 1);
        const std::size_t eq = pair.find('=');
        if (eq != std::string_view::npos && pair.substr(0, eq) == kCookieName) {
            const std::string_view token = pair.substr(eq + 1);
            if (token.size() == 2 * kTokenBytes) {
                return std::string(token);
            }
        }
    }
    return {};
}

Result<std::optional<std::string>> ConsoleAuth::SessionUser(ReportStore& store,
                                                            std::string_view cookieHeader) {
    const std::string token = CookieToken(cookieHeader);
    if (token.empty()) {
        return std::optional<std::string>();
    }
    return store.SessionUser(ReportIndexer::Sha256Hex(token), Now());
}

ConsoleAuth::Login ConsoleAuth::Basic(ReportStore& store, std::string_view authorization,
                                      const std::string& address) {
    authorization = TrimBlanks(authorization);
    constexpr std::string_view kScheme = "basic ";
    if (authorization.size() <= kScheme.size()) {
        return {};
    }
    for (std::size_t i = 0; i < kScheme.size(); ++i) {
        if (static_cast<char>(std::tolower(static_cast<unsigned char>(authorization[i]))) !=
            kScheme[i]) {
            return {};
        }
    }
    const std::string_view encoded = TrimBlanks(authorization.substr(kScheme.size()));
    std::string decoded(encoded.size(), '\0');
    std::size_t length = 0;
    if (!SodiumReady() ||
        ::sodium_base642bin(reinterpret_cast<unsigned char*>(decoded.data()), decoded.size(),
                            encoded.data(), encoded.size(), nullptr, &length, nullptr,
                            sodium_base64_VARIANT_ORIGINAL) != 0) {
        return {};
    }
    decoded.resize(length);
    const std::size_t colon = decoded.find(':');
    if (colon == std::string::npos) {
        return {};
    }
    return LogIn(store, decoded.substr(0, colon), std::string_view(decoded).substr(colon + 1),
                 address, false);
}

Status ConsoleAuth::LogOut(ReportStore& store, std::string_view cookieHeader) {
    const std::string token = CookieToken(cookieHeader);
    if (token.empty()) {
        return Done{};
    }
    return store.DeleteSession(ReportIndexer::Sha256Hex(token));
}

}  // namespace vok::center
