#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <utility>

#include "core/Result.h"
#include "upload/UploadResult.h"
#include "upload/UploadServer.h"

namespace vok {

// Sends a report file to the service center's web server as the form field
// "userfile" of a multipart POST, and reads the server's verdict. The wizard's
// Send and `vok upload` both go through here.
//
// A blocking call: run it off the GUI thread if the window must keep
// painting. Every wait is bounded by the two time limits.
class ServiceCenterUpload {
public:
    ServiceCenterUpload();  // the service center, 15 s to connect, 120 s in all

    // The head of the request exactly as a site sends it to `host`, with
    // `contentLength` as its Content-Length: what the service center's tests
    // and benchmarks put in front of an UploadBody to post what a site posts.
    static std::string RequestHead(std::string_view host, std::string_view contentLength);

    void SetServer(UploadServer server) { m_server = std::move(server); }
    const UploadServer& Server() const { return m_server; }

    // Over HTTPS, the certificates the server's must verify against instead
    // of the system's store; empty: the system's store.
    void SetCaFile(std::string path) { m_caFile = std::move(path); }
    const std::string& CaFile() const { return m_caFile; }

    // Giving up: on connecting (name lookup included), and on the whole
    // request from start to the reply's first line.
    void SetConnectTimeout(std::chrono::milliseconds limit) { m_connectTimeout = limit; }
    void SetRequestTimeout(std::chrono::milliseconds limit) { m_requestTimeout = limit; }
    std::chrono::milliseconds ConnectTimeout() const { return m_connectTimeout; }
    std::chrono::milliseconds RequestTimeout() const { return m_requestTimeout; }

    // Posts the file named by `path`; the path goes into the body exactly as
    // given, so pass the full path. true: the first line of the reply body,
    // spaces removed, is "200" (whatever the HTTP status). false: any other
    // reply. An error, with the HTTP client's or the file system's own text,
    // when the file cannot be read (nothing is sent then) or the server
    // cannot be reached, stops answering or the request fails on the way.
    Result<bool> UploadReport(const std::string& path) const;

    // The same request, with what the outbox needs to know besides: whether
    // the center decided, or could not take the report now.
    UploadResult Send(const std::string& path) const;

private:
    UploadServer m_server;
    std::string m_caFile;
    std::chrono::milliseconds m_connectTimeout;
    std::chrono::milliseconds m_requestTimeout;
};

}  // namespace vok
