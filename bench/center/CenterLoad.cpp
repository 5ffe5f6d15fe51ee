// Posts report files to a web server from many clients at once, the way the
// sites' tool does (one connection per upload, the same multipart body), and
// counts the uploads answered "200" per second.
//
//   CenterLoad PORT SECONDS CLIENTS [LABEL]
//
// Every upload is a different file (the full example report of another
// generator or day), so that a server that keeps each file once stores each
// one. Prints one line: LABEL, stored/s, refused, failed, latency p50/p99.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "FleetReports.h"
#include "upload/ServiceCenterUpload.h"
#include "upload/UploadBody.h"

namespace {

using Clock = std::chrono::steady_clock;

// The request as the client sends it, for a file named `name`.
std::string Request(const std::string& name, const std::string& file) {
    const std::string body = vok::UploadBody::Compose("C:\\VOK\\REPORT\\" + name, file);
    return vok::ServiceCenterUpload::RequestHead("127.0.0.1", std::to_string(body.size())) + body;
}

enum class Verdict { Stored, Refused, Failed };

// One upload on a connection of its own; the reply is read to its end.
Verdict Post(std::uint16_t port, const std::string& request) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return Verdict::Failed;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    std::size_t sent = 0;
    while (sent < request.size()) {
        const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            ::close(fd);
            return Verdict::Failed;
        }
        sent += static_cast<std::size_t>(n);
    }
    // The reply ends with its Content-Length, or with the last chunk.
    std::string reply;
    char buffer[4096];
    std::size_t want = std::string::npos;
    bool chunked = false;
    auto complete = [&] {
        return chunked ? reply.find("\r\n0\r\n\r\n") != std::string::npos : reply.size() >= want;
    };
    while (!complete()) {
        pollfd watched{fd, POLLIN, 0};
        if (::poll(&watched, 1, 30000) <= 0) {
            break;
        }
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        reply.append(buffer, static_cast<std::size_t>(n));
        const auto end = reply.find("\r\n\r\n");
        if (want == std::string::npos && !chunked && end != std::string::npos) {
            std::string head = reply.substr(0, end);
            std::transform(head.begin(), head.end(), head.begin(), ::tolower);
            chunked = head.find("\r\ntransfer-encoding: chunked") != std::string::npos;
            const auto at = head.find("\r\ncontent-length:");
            if (at != std::string::npos) {
                want = end + 4 + std::strtoul(head.c_str() + at + 17, nullptr, 10);
            }
        }
    }
    ::close(fd);
    const auto end = reply.find("\r\n\r\n");
    if (end == std::string::npos) {
        return Verdict::Failed;
    }
    std::string body = reply.substr(end + 4);
    if (chunked) {
        // The first line is in the first chunk.
        body = body.substr(body.find("\r\n") == std::string::npos ? 0 : body.find("\r\n") + 2);
    }
    std::string line = body.substr(0, body.find('\n'));
    line.erase(std::remove(line.begin(), line.end(), ' '), line.end());
    line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
    return line == "200" ? Verdict::Stored : Verdict::Refused;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: CenterLoad PORT SECONDS CLIENTS [LABEL] [FIRST]\n";
        return 2;
    }
    const auto port = static_cast<std::uint16_t>(std::atoi(argv[1]));
    const auto duration = std::chrono::seconds(std::atoi(argv[2]));
    const int clients = std::atoi(argv[3]);
    const std::string label = argc > 4 ? argv[4] : "server";
    // Where this run's reports start, so that runs against the same store
    // send new files.
    const long first = argc > 5 ? std::atol(argv[5]) : 0;

    std::atomic<long> next = first;
    std::atomic<long> stored = 0;
    std::atomic<long> refused = 0;
    std::atomic<long> failed = 0;
    std::mutex latenciesLock;
    std::vector<double> latencies;
    const auto end = Clock::now() + duration;
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&] {
            // Thousands of generators: nearly every upload is another one's.
            vok::bench::FleetReports fleet(10000);
            std::vector<double> mine;
            while (Clock::now() < end) {
                const long n = next++;
                const std::string request = Request(fleet.Name(n), fleet.Text(n));
                const auto start = Clock::now();
                const Verdict verdict = Post(port, request);
                mine.push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count());
                (verdict == Verdict::Stored    ? stored
                 : verdict == Verdict::Refused ? refused
                                               : failed)++;
            }
            std::lock_guard lock(latenciesLock);
            latencies.insert(latencies.end(), mine.begin(), mine.end());
        });
    }
    const auto started = Clock::now();
    for (auto& thread : threads) {
        thread.join();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    std::sort(latencies.begin(), latencies.end());
    auto percentile = [&](double p) {
        return latencies.empty()
                   ? 0.0
                   : latencies[std::min(latencies.size() - 1,
                                        static_cast<std::size_t>(p * latencies.size()))];
    };
    std::printf(
        "%-22s %9.1f stored/s  %6ld stored  %5ld refused  %5ld failed  p50 %7.1f ms  p99 %7.1f "
        "ms\n",
        label.c_str(), static_cast<double>(stored) / seconds, stored.load(), refused.load(),
        failed.load(), percentile(0.50), percentile(0.99));
    return failed + refused > 0 ? 1 : 0;
}
