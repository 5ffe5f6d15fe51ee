#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "upload/CenterSettings.h"

namespace vok {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class CenterSettingsTest : public ::testing::Test {
protected:
    Result<CenterSettings> Resolve(const std::optional<std::string>& server,
                                   const std::optional<std::string>& caFile) const {
        return CenterSettings::Resolve(server, caFile, m_dir.path() / "CONFIG.ini");
    }
    void Config(const std::string& text) const { m_dir.Write("CONFIG.ini", text); }

    test::TempDir m_dir;
};

// Each setting on its own: the command line, else [CENTER], else built in.
TEST_F(CenterSettingsTest, CommandLineThenConfigThenBuiltIn) {
    const std::string ca = m_dir.Write("certs/center.pem", "PEM");
    const std::string otherCa = m_dir.Write("other.pem", "PEM");
    const std::string center =
        "[USER]\r\nHOSPITAL=St. Mary\r\n[center]\r\nurl = "
        "\"https://center.example:8443/\"\r\nCAFILE=certs/center.pem\r\n";
    struct Case {
        std::string config;
        std::optional<std::string> server;
        std::optional<std::string> caFile;
        std::string expectServer;
        std::string expectCa;
    };
    for (const Case& c : std::vector<Case>{
             // No file, no section, empty values: as the program always was.
             {"", {}, {}, "service.vok-medical.example:80", ""},
             {"[USER]\r\nHOSPITAL=x\r\n", {}, {}, "service.vok-medical.example:80", ""},
             {"[CENTER]\r\nURL=\r\nCAFILE=\r\n", {}, {}, "service.vok-medical.example:80", ""},
             {center, {}, {}, "https://center.example:8443", ca},
             {center, "https://127.0.0.1:1", {}, "https://127.0.0.1:1", ca},
             {center, {}, otherCa, "https://center.example:8443", otherCa},
             // A CA file only counts where a certificate is checked.
             {"[CENTER]\r\nURL=center.example\r\nCAFILE=/nowhere.pem\r\n",
              {},
              {},
              "center.example:80",
              ""},
             {"[CENTER]\r\nCAFILE=" + ca + "\r\n", "https://h", {}, "https://h:443", ca}}) {
        SCOPED_TRACE(c.config + " / " + c.server.value_or("-") + " / " + c.caFile.value_or("-"));
        Config(c.config);
        if (c.config.empty()) {
            std::filesystem::remove(m_dir.path() / "CONFIG.ini");
        }
        const Result<CenterSettings> settings = Resolve(c.server, c.caFile);
        ASSERT_TRUE(settings.ok()) << settings.error();
        EXPECT_EQ(settings->Server().ToString(), c.expectServer);
        EXPECT_EQ(std::filesystem::path(settings->CaFile()).lexically_normal(),
                  std::filesystem::path(c.expectCa).lexically_normal());
        EXPECT_EQ(settings->Client().Server(), settings->Server());
        EXPECT_EQ(settings->Client().CaFile(), settings->CaFile());
    }
}

// Said before anything is sent, naming where the setting came from.
TEST_F(CenterSettingsTest, BadSettingIsAnErrorNamingItsSource) {
    const std::string fifo = m_dir.File("fifo.pem");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string config = m_dir.File("CONFIG.ini");
    struct Case {
        std::string config;
        std::optional<std::string> server;
        std::optional<std::string> caFile;
        std::string error;
    };
    for (const Case& c : std::vector<Case>{
             {"[CENTER]\r\nURL=ftp://center\r\n",
              {},
              {},
              config + " [CENTER] URL=ftp://center: only http:// and https://"},
             {"[CENTER]\r\nURL=https://center\r\n", "host/x", {}, "--server host/x: "},
             {"[CENTER]\r\nURL=https://center\r\nCAFILE=missing.pem\r\n",
              {},
              {},
              config + " [CENTER] CAFILE=" + m_dir.File("missing.pem") +
                  ": No such file or directory"},
             {"", "https://center", fifo, "--ca-file " + fifo + ": not a regular file"},
             {"", "center.example", fifo, "--ca-file: the server is reached over plain HTTP"}}) {
        SCOPED_TRACE(c.config);
        Config(c.config);
        const Result<CenterSettings> settings = Resolve(c.server, c.caFile);
        ASSERT_FALSE(settings.ok());
        EXPECT_THAT(settings.error(), StartsWith(c.error));
        EXPECT_EQ(settings.error().find('\n'), std::string::npos);
    }
}

}  // namespace
}  // namespace vok
