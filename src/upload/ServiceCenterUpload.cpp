#include "upload/ServiceCenterUpload.h"

#include <algorithm>
#include <array>
#include <memory>

#include <curl/curl.h>

#include "upload/FirstReplyLine.h"
#include "upload/UploadBody.h"

namespace vok {

namespace {

constexpr std::string_view kUploadObjectName = "./VOK/index.php";
// The request's own header lines, in this order.
constexpr std::string_view kUploadAcceptHeader = "Accept: text/*";
constexpr std::string_view kUploadUserAgentHeader = "User-Agent: RIVur";
// Keeps the HTTP client from announcing the body and waiting for a go-ahead.
constexpr std::string_view kUploadNoExpectHeader = "Expect:";
constexpr std::chrono::milliseconds kUploadConnectTimeout = std::chrono::seconds(15);
constexpr std::chrono::milliseconds kUploadRequestTimeout = std::chrono::seconds(120);
constexpr std::string_view kUploadClientStartError = "Cannot start the HTTP client: ";

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;

// libcurl wants one global set-up per process before any handle; the static's
// initialisation runs once even when threads race to the first upload.
CURLcode GlobalInit() {
    static const CURLcode result = curl_global_init(CURL_GLOBAL_DEFAULT);
    return result;
}

UploadResult NotSent(std::string reason) {
    return {UploadResult::Outcome::NotSent, 0, std::move(reason)};
}

UploadResult ClientError(CURLcode code) {
    return NotSent(std::string(kUploadClientStartError) + curl_easy_strerror(code));
}

bool IsServerError(long status) {
    return status >= 500 && status <= 599;
}

// 0 asks libcurl for its own defaults (minutes, or none at all), which must
// never happen by accident.
long Milliseconds(std::chrono::milliseconds limit) {
    return static_cast<long>(std::max<std::chrono::milliseconds::rep>(limit.count(), 1));
}

// Ends the transfer once the first line is in: nothing after it matters.
std::size_t OnReplyBytes(char* data, std::size_t size, std::size_t count, void* user) {
    auto* line = static_cast<FirstReplyLine*>(user);
    const std::size_t bytes = size * count;
    line->Add(std::string_view(data, bytes));
    return line->Complete() ? 0 : bytes;
}

// Exactly our header lines: they replace libcurl's own Accept and Content-Type,
// and the empty Expect keeps it from holding the body back for a go-ahead.
// Host and Content-Length are added by libcurl.
Result<HeaderList> RequestHeaders() {
    const auto outOfMemory = [] { return Error{ClientError(CURLE_OUT_OF_MEMORY).error}; };
    HeaderList list;
    const std::array<std::string_view, 4> lines = {kUploadAcceptHeader, UploadBody::kContentTypeHeader,
                                                   kUploadUserAgentHeader, kUploadNoExpectHeader};
    for (const std::string_view line : lines) {
        curl_slist* longer = curl_slist_append(list.get(), std::string(line).c_str());
        if (longer == nullptr) {
            return outOfMemory();
        }
        (void)list.release();
        list.reset(longer);
    }
    return list;
}

}  // namespace

ServiceCenterUpload::ServiceCenterUpload()
    : m_connectTimeout(kUploadConnectTimeout), m_requestTimeout(kUploadRequestTimeout) {}

Result<bool> ServiceCenterUpload::UploadReport(const std::string& path) const {
    return Send(path).ToResult();
}

UploadResult ServiceCenterUpload::Send(const std::string& path) const {
    const Result<std::string> body = UploadBody::Load(path);
    if (!body) {
        return NotSent(body.error());
    }
    if (const CURLcode init = GlobalInit(); init != CURLE_OK) {
        return ClientError(init);
    }
    Result<HeaderList> headers = RequestHeaders();
    if (!headers) {
        return NotSent(headers.error());
    }
    const std::string url = m_server.Url(kUploadObjectName);
    // Only the server's own scheme: no redirect or proxy can turn HTTPS into
    // plain HTTP.
    const std::string protocols(m_server.Scheme());
    std::array<char, CURL_ERROR_SIZE> errorText{};
    FirstReplyLine reply;
    // Declared after everything it points to, so that it goes first.
    const EasyHandle handle(curl_easy_init());
    if (!handle) {
        return ClientError(CURLE_FAILED_INIT);
    }

    CURL* const curl = handle.get();
    CURLcode code = CURLE_OK;
    const auto set = [&](CURLoption option, auto value) {
        if (code == CURLE_OK) {
            code = curl_easy_setopt(curl, option, value);
        }
    };
    set(CURLOPT_ERRORBUFFER, errorText.data());
    set(CURLOPT_URL, url.c_str());
    set(CURLOPT_PROTOCOLS_STR, protocols.c_str());
    set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_CONNECTTIMEOUT_MS, Milliseconds(m_connectTimeout));
    set(CURLOPT_TIMEOUT_MS, Milliseconds(m_requestTimeout));
    set(CURLOPT_HTTPHEADER, headers->get());
    set(CURLOPT_POST, 1L);
    set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
    set(CURLOPT_POSTFIELDS, body->data());
    set(CURLOPT_WRITEFUNCTION, &OnReplyBytes);
    set(CURLOPT_WRITEDATA, static_cast<void*>(&reply));
    if (m_server.Secure()) {
        // libcurl's defaults, stated: a certificate that does not verify, or
        // names another host, ends the request before anything is sent.
        set(CURLOPT_SSL_VERIFYPEER, 1L);
        set(CURLOPT_SSL_VERIFYHOST, 2L);
        if (!m_caFile.empty()) {
            // The file replaces the system's store rather than adding to it.
            set(CURLOPT_CAINFO, m_caFile.c_str());
            set(CURLOPT_CAPATH, static_cast<const char*>(nullptr));
        }
    }
    if (code != CURLE_OK) {
        return ClientError(code);
    }

    code = curl_easy_perform(curl);
    const bool stoppedAfterFirstLine = code == CURLE_WRITE_ERROR && reply.Complete();
    long status = 0;
    (void)curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (code != CURLE_OK && !stoppedAfterFirstLine) {
        return {UploadResult::Outcome::Unavailable, status,
                errorText[0] != '\0' ? std::string(errorText.data())
                                     : std::string(curl_easy_strerror(code))};
    }
    if (reply.IsSuccess()) {
        return {UploadResult::Outcome::Accepted, status, {}};
    }
    return {
        IsServerError(status) ? UploadResult::Outcome::Unavailable : UploadResult::Outcome::Refused,
        status,
        {}};
}

}  // namespace vok
