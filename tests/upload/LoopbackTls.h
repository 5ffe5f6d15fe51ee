#pragma once

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <signal.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <string>

#include "LoopbackHttpServer.h"
#include "support/RunVok.h"
#include "support/TempDir.h"

namespace vok::test {

// A throwaway certificate authority made with the openssl command, and server
// certificates it signed: one the client must accept for 127.0.0.1, two it
// must refuse. A second authority signs nothing, so trusting only it must fail.
class TestCertificates {
public:
    enum class Server { Good, OtherHost, Expired };

    TestCertificates() {
        const std::string key =
            "openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout ";
        std::string script = "cd " + Quote(m_dir.path().string()) + " && " + key +
                             "ca.key -x509 -days 2 -subj /CN=ca -out ca.pem && " + key +
                             "other-ca.key -x509 -days 2 -subj /CN=other -out other-ca.pem";
        for (const auto& [name, altNames, days] : std::initializer_list<std::array<std::string, 3>>{
                 {"good", "IP:127.0.0.1,DNS:localhost", "1"},
                 {"otherhost", "DNS:center.elsewhere.example", "1"},
                 {"expired", "IP:127.0.0.1", "-1"}}) {  // ended a day before it was made
            script += " && " + key + name + ".key -subj /CN=" + name + " -out " + name +
                      ".csr && echo subjectAltName=" + altNames + " >" + name +
                      ".ext && openssl x509 -req -in " + name +
                      ".csr -CA ca.pem -CAkey ca.key -CAcreateserial -days " + days + " -extfile " +
                      name + ".ext -out " + name + ".pem";
        }
        m_ok = std::system(("(" + script + ") >/dev/null 2>&1").c_str()) == 0;
    }

    // False when the openssl command is missing or failed.
    bool ok() const { return m_ok; }
    std::string CaFile() const { return m_dir.File("ca.pem"); }
    std::string OtherCaFile() const { return m_dir.File("other-ca.pem"); }

    // The channels of a loopback server that shows this certificate.
    LoopbackChannelFactory Channels(Server which) const {
        const std::string name = which == Server::Good        ? "good"
                                 : which == Server::OtherHost ? "otherhost"
                                                              : "expired";
        std::shared_ptr<SSL_CTX> context(SSL_CTX_new(TLS_server_method()), SSL_CTX_free);
        if (!context ||
            SSL_CTX_use_certificate_chain_file(context.get(), m_dir.File(name + ".pem").c_str()) !=
                1 ||
            SSL_CTX_use_PrivateKey_file(context.get(), m_dir.File(name + ".key").c_str(),
                                        SSL_FILETYPE_PEM) != 1) {
            std::abort();
        }
        // A client that gives up on the handshake closes while the server may still write.
        ::signal(SIGPIPE, SIG_IGN);
        return [context](int socket) -> std::optional<LoopbackChannel> {
            std::shared_ptr<SSL> ssl(SSL_new(context.get()), SSL_free);
            if (!ssl || SSL_set_fd(ssl.get(), socket) != 1 || Cleared(SSL_accept(ssl.get())) != 1) {
                return std::nullopt;
            }
            return LoopbackChannel{
                [ssl](char* buffer, std::size_t size) -> ssize_t {
                    return Cleared(SSL_read(ssl.get(), buffer, static_cast<int>(size)));
                },
                [ssl](const char* data, std::size_t size) -> ssize_t {
                    return Cleared(SSL_write(ssl.get(), data, static_cast<int>(size)));
                }};
        };
    }

private:
    // The server thread's error queue is emptied after each call.
    static int Cleared(int result) {
        ERR_clear_error();
        return result;
    }

    TempDir m_dir;
    bool m_ok = false;
};

}  // namespace vok::test
