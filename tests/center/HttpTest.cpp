// What hostile, odd or slow bytes do to the request parser, the multipart
// reader and the server.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "HttpExchange.h"
#include "center/HttpRequestParser.h"
#include "center/HttpServer.h"
#include "center/MultipartForm.h"
#include "upload/UploadBody.h"

namespace vok::center {
namespace {

using State = HttpRequestParser::State;
using test::BodyOf;
using test::StatusOf;

TEST(HttpRequestParser, EachRequestEndsInTheRightState) {
    HttpRequestParser::Limits limits;
    limits.maxHeaderBytes = 256;
    limits.maxHeaderCount = 4;
    limits.maxBodyBytes = 16;
    const struct {
        std::string bytes;
        State state;
        int status;  // on Failed
    } cases[] = {
        {"GET / HTTP/1.0\nHost: x\n\n", State::Complete, 0},  // bare LF lines
        {"POST /a HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc", State::Complete, 0},
        {"POST /a HTTP/1.1\r\nContent-Length: 4\r\n\r\nabc", State::NeedMore, 0},
        {"GET / HTTP/1.1\r\nHost: x\r\n", State::NeedMore, 0},
        {"POST /a HTTP/1.1\r\n\r\n", State::Failed, 411},
        {"POST /a HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", State::Failed, 501},
        {"POST /a HTTP/1.1\r\nContent-Length: 17\r\n\r\n", State::Failed, 413},
        {"POST /a HTTP/1.1\r\nContent-Length: 99999999999999999999\r\n\r\n", State::Failed, 400},
        {"POST /a HTTP/1.1\r\nContent-Length: -1\r\n\r\n", State::Failed, 400},
        {"POST /a HTTP/1.1\r\nContent-Length: abc\r\n\r\n", State::Failed, 400},
        {"POST /a HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab", State::Failed,
         400},
        {"POST /a HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 1\r\n\r\na", State::Complete, 0},
        {"GET / HTTP/1.1\r\na: 1\r\nb: 1\r\nc: 1\r\nd: 1\r\ne: 1\r\n\r\n", State::Failed, 431},
        {"GET / HTTP/1.1\r\nX: " + std::string(300, 'a'), State::Failed, 431},
        {"GET / HTTP/1.1\r\nA: 1\r\n continued\r\n\r\n", State::Failed, 400},
        {"GET / HTTP/1.1\r\nHost : x\r\n\r\n", State::Failed, 400},
        {"GET http://x/ HTTP/1.1\r\n\r\n", State::Failed, 400},
        {"GET /\r\n\r\n", State::Failed, 400},
        {std::string("GET /a\x01 HTTP/1.1\r\n\r\n"), State::Failed, 400},
        {std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\r\n\r\n", 13), State::Failed, 400}};
    for (const auto& c : cases) {
        HttpRequestParser parser(limits);
        EXPECT_EQ(parser.Feed(c.bytes), c.state) << c.bytes;
        if (c.state == State::Failed) {
            EXPECT_EQ(parser.errorStatus(), c.status) << c.bytes;
            EXPECT_FALSE(parser.errorReason().empty()) << c.bytes;
        }
        // Byte by byte (CR LF split between reads) gives the same outcome.
        HttpRequestParser slow(limits);
        State state = State::NeedMore;
        for (char ch : c.bytes) {
            state = slow.Feed(std::string_view(&ch, 1));
        }
        EXPECT_EQ(state, c.state) << c.bytes << " byte by byte";
    }
}

TEST(HttpRequestParser, CompleteRequestKeepsPathQueryHeadersAndExactBody) {
    HttpRequestParser parser(HttpRequestParser::Limits{});
    const std::string body("a\r\n\0b", 5);
    ASSERT_EQ(parser.Feed("POST /api/reports?serial=A%20B&limit=5 HTTP/1.1\r\nX-Thing:  v  \r\n"
                          "Content-Length: 5\r\nExpect: 100-continue\r\n\r\n"),
              State::NeedMore);
    EXPECT_TRUE(parser.WantsContinue());
    ASSERT_EQ(parser.Feed(body + "trailing bytes are dropped"), State::Complete);
    const HttpRequest request = parser.TakeRequest();
    EXPECT_EQ(request.Header("x-thing").value_or("?"), "v");
    EXPECT_EQ(request.body, body);
    EXPECT_EQ(request.QueryFields().at("serial"), "A B");
    // Forms: broken escapes stay as sent.
    EXPECT_EQ(HttpRequest::ParseFormFields("user=a+b%3C&password=%zz%4").at("password"), "%zz%4");
}

const std::string kSiteType(std::string_view(UploadBody::kContentTypeHeader).substr(14));

TEST(MultipartForm, SiteToolAndBrowserBodiesGiveTheirFiles) {
    // The site tool's file comes with an extra line break, its path as sent.
    const std::string file = "[DIAGNOSIS]\r\n\r\nDATE=2024/01/02\r\n\r\n";
    const auto site = MultipartForm::Parse(kSiteType, UploadBody::Compose("/tmp/\"q\".VOK", file));
    ASSERT_TRUE(site && site->size() == 1u);
    EXPECT_EQ(site->front().name, "userfile");
    EXPECT_EQ(site->front().fileName, "/tmp/\"q\".VOK");
    EXPECT_EQ(site->front().content, file + "\r\n");
    // A browser's body: another field, padding after a delimiter, a file
    // holding what looks like delimiters without CR LF before them.
    const std::string body =
        "--XyZ\r\nContent-Disposition: form-data; name=\"note\"\r\n\r\nhello\r\n"
        "--XyZ  \r\nContent-Disposition: form-data; name=\"userfile\"; filename=\"r.VOK\"\r\n"
        "Content-Type: application/octet-stream\r\n\r\nA\r\n-XyZ\r\nB--XyZ\r\n--XyZ--\r\nepilogue";
    const auto parts = MultipartForm::Parse("multipart/form-data; boundary=\"XyZ\"", body);
    ASSERT_TRUE(parts && parts->size() == 2u);
    const FormPart* found = MultipartForm::FindFile(parts.value(), "userfile");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->content, "A\r\n-XyZ\r\nB--XyZ");
    EXPECT_EQ(MultipartForm::FindFile(parts.value(), "note"), nullptr);
}

TEST(MultipartForm, RefusesBodiesThatAreNotWholeForms) {
    const std::string good = UploadBody::Compose("C:\\a.VOK", "[DIAGNOSIS]\r\n");
    const std::string boundary = "---------------------------7d13a23b368";
    std::vector<std::pair<std::string, std::string>> refusals = {
        {"application/x-www-form-urlencoded", "a=b"},
        {"multipart/form-data", good},
        {"multipart/form-data; boundary=", good},
        {"multipart/form-data; boundary=" + std::string(71, 'b'), good},
        {"multipart/form-data; boundary=other", good},
        {kSiteType, good.substr(0, good.size() - 4) + "\r\n"},
        {kSiteType, "--" + boundary + "\r\nX: y\r\n\r\nz\r\n--" + boundary + "--\r\n"}};
    // A cut body is refused, never read as a shorter file: cuts in the
    // delimiter, the part's head, the file and the close delimiter.
    for (const std::size_t cut : {std::size_t{0}, std::size_t{10}, good.find("\r\n\r\n") + 2,
                                  good.find("[DIAGNOSIS]") + 3, good.size() - 5}) {
        refusals.emplace_back(kSiteType, good.substr(0, cut));
    }
    std::string many;
    for (std::size_t i = 0; i <= MultipartForm::kMaxParts; ++i) {
        many += "--b\r\nContent-Disposition: form-data; name=\"f\"\r\n\r\nx\r\n";
    }
    refusals.emplace_back("multipart/form-data; boundary=b", many + "--b--\r\n");
    for (const auto& [type, body] : refusals) {
        EXPECT_FALSE(MultipartForm::Parse(type, body)) << type << " " << body.size();
    }
}

TEST(HttpServer, LateHeadsAndBodiesAreAnsweredAndClosedBeforeAnyRoute) {
    HttpServer::Options options;
    options.host = "127.0.0.1";
    options.port = 0;
    options.headTimeout = std::chrono::milliseconds(300);
    options.requestTimeout = std::chrono::milliseconds(800);
    std::atomic<int> handled{0};
    HttpServer server(options, [&](HttpRequest&) {
        ++handled;
        return HttpResponse::Text(200, "routed");
    });
    ASSERT_TRUE(server.Bind());
    std::thread running([&] { server.Run(); });
    for (const auto& [sent, reason] : std::vector<std::pair<std::string, std::string>>{
             {"GET / HTTP/1.1\r\nX-Slow: a", "head not received"},
             {"", "head not received"},
             {"POST / HTTP/1.1\r\nContent-Length: 10\r\n\r\nabc", "body not received"}}) {
        test::HttpExchange client(server.Port());
        client.Send(sent);
        const auto started = std::chrono::steady_clock::now();
        const std::string answer = client.Receive(std::chrono::seconds(5));
        EXPECT_EQ(StatusOf(answer), 408) << sent;
        EXPECT_NE(BodyOf(answer).find(reason), std::string::npos) << sent;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3)) << sent;
    }
    server.Stop();
    running.join();
    EXPECT_EQ(handled, 0);
}

}  // namespace
}  // namespace vok::center
