#pragma once

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <signal.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "LoopbackHttpServer.h"
#include "support/RunVok.h"
#include "support/TempDir.h"

namespace vok::test {

// A throwaway certificate authority made with the openssl command for one
// test, and server certificates it signed: one the client must accept for
// 127.0.0.1, and three it must refuse. A second authority signs nothing the
// servers use, so trusting only it must fail.
class TestCertificates {
public:
    enum class Server { Good, OtherHost, Expired };

    TestCertificates() {
        m_ok = MakeAuthority("ca", "VOK Test CA") && MakeAuthority("other-ca", "VOK Other CA") &&
               MakeServer("good", "IP:127.0.0.1,DNS:localhost", "1") &&
               MakeServer("otherhost", "DNS:center.elsewhere.example", "1") &&
               // Valid until a day before it was made.
               MakeServer("expired", "IP:127.0.0.1", "-1");
    }

    // False when the openssl command is missing or failed.
    bool ok() const { return m_ok; }
    std::string CaFile() const { return m_dir.File("ca.pem"); }
    std::string OtherCaFile() const { return m_dir.File("other-ca.pem"); }

    // The channels of a loopback server that shows this certificate.
    LoopbackChannelFactory Channels(Server which) const {
        const char* name = which == Server::Good        ? "good"
                           : which == Server::OtherHost ? "otherhost"
                                                        : "expired";
        std::shared_ptr<SSL_CTX> context(SSL_CTX_new(TLS_server_method()), SSL_CTX_free);
        if (!context ||
            SSL_CTX_use_certificate_chain_file(
                context.get(), m_dir.File(std::string(name) + ".pem").c_str()) != 1 ||
            SSL_CTX_use_PrivateKey_file(context.get(),
                                        m_dir.File(std::string(name) + ".key").c_str(),
                                        SSL_FILETYPE_PEM) != 1) {
            std::abort();
        }
        // A client that gives up on the handshake closes while the server
        // may still write.
        ::signal(SIGPIPE, SIG_IGN);
        return [context](int socket) -> std::unique_ptr<LoopbackChannel> {
            auto channel = std::make_unique<Tls>(context.get(), socket);
            return channel->Ready() ? std::move(channel) : nullptr;
        };
    }

private:
    class Tls : public LoopbackChannel {
    public:
        Tls(SSL_CTX* context, int socket) : m_ssl(SSL_new(context)) {
            m_ready = m_ssl != nullptr && SSL_set_fd(m_ssl, socket) == 1 && SSL_accept(m_ssl) == 1;
            ERR_clear_error();
        }
        ~Tls() override { SSL_free(m_ssl); }
        bool Ready() const { return m_ready; }
        ssize_t Receive(char* buffer, std::size_t size) override {
            const int n = SSL_read(m_ssl, buffer, static_cast<int>(size));
            ERR_clear_error();
            return n;
        }
        ssize_t Send(const char* data, std::size_t size) override {
            if (size == 0) {
                return 0;
            }
            const int n = SSL_write(m_ssl, data, static_cast<int>(size));
            ERR_clear_error();
            return n;
        }

    private:
        SSL* m_ssl;
        bool m_ready = false;
    };

    bool Run(const std::string& arguments) const {
        const std::string command =
            "cd " + Quote(m_dir.path().string()) + " && openssl " + arguments + " >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }

    bool MakeAuthority(const std::string& name, const std::string& subject) const {
        return Run("req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout " +
                   name + ".key -out " + name + ".pem -days 2 -subj '/CN=" + subject + "'");
    }

    bool MakeServer(const std::string& name, const std::string& altNames,
                    const std::string& days) const {
        m_dir.Write(name + ".ext", "subjectAltName=" + altNames + "\n");
        return Run("req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout " + name +
                   ".key -out " + name + ".csr -subj /CN=" + name) &&
               Run("x509 -req -in " + name + ".csr -CA ca.pem -CAkey ca.key -CAcreateserial -out " +
                   name + ".pem -days " + days + " -extfile " + name + ".ext");
    }

    TempDir m_dir;
    bool m_ok = false;
};

}  // namespace vok::test
