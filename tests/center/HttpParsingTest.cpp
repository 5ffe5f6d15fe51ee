// The request parser and the multipart reader: what hostile or odd bytes do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "center/HttpRequestParser.h"
#include "center/MultipartForm.h"
#include "upload/UploadBody.h"

namespace vok::center {
namespace {

using State = HttpRequestParser::State;

HttpRequestParser::Limits SmallLimits() {
    HttpRequestParser::Limits limits;
    limits.maxHeaderBytes = 256;
    limits.maxHeaderCount = 4;
    limits.maxBodyBytes = 16;
    return limits;
}

struct ParseCase {
    const char* name;
    std::string bytes;
    State state;
    int status;  // on Failed
};

TEST(HttpRequestParser, EachRequestEndsInTheRightState) {
    const std::vector<ParseCase> cases = {
        {"get", "GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n", State::Complete, 0},
        {"bare LF lines", "GET / HTTP/1.0\nHost: x\n\n", State::Complete, 0},
        {"post with body", "POST /a HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc", State::Complete, 0},
        {"body still coming", "POST /a HTTP/1.1\r\nContent-Length: 4\r\n\r\nabc", State::NeedMore,
         0},
        {"head still coming", "GET / HTTP/1.1\r\nHost: x\r\n", State::NeedMore, 0},
        {"post without length", "POST /a HTTP/1.1\r\n\r\n", State::Failed, 411},
        {"chunked", "POST /a HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", State::Failed, 501},
        {"body over limit", "POST /a HTTP/1.1\r\nContent-Length: 17\r\n\r\n", State::Failed, 413},
        {"huge length", "POST /a HTTP/1.1\r\nContent-Length: 99999999999999999999\r\n\r\n",
         State::Failed, 400},
        {"negative length", "POST /a HTTP/1.1\r\nContent-Length: -1\r\n\r\n", State::Failed, 400},
        {"length not a number", "POST /a HTTP/1.1\r\nContent-Length: abc\r\n\r\n", State::Failed,
         400},
        {"conflicting lengths",
         "POST /a HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab", State::Failed,
         400},
        {"same length twice", "POST /a HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 1\r\n\r\na",
         State::Complete, 0},
        {"too many headers", "GET / HTTP/1.1\r\na: 1\r\nb: 1\r\nc: 1\r\nd: 1\r\ne: 1\r\n\r\n",
         State::Failed, 431},
        {"endless head", "GET / HTTP/1.1\r\nX: " + std::string(300, 'a'), State::Failed, 431},
        {"folded header", "GET / HTTP/1.1\r\nA: 1\r\n continued\r\n\r\n", State::Failed, 400},
        {"space before colon", "GET / HTTP/1.1\r\nHost : x\r\n\r\n", State::Failed, 400},
        {"absolute target", "GET http://x/ HTTP/1.1\r\n\r\n", State::Failed, 400},
        {"HTTP/2 preface", "PRI * HTTP/2.0\r\n\r\n", State::Failed, 400},
        {"no version", "GET /\r\n\r\n", State::Failed, 400},
        {"control in target", std::string("GET /a\x01 HTTP/1.1\r\n\r\n"), State::Failed, 400},
        {"binary junk", std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\r\n\r\n", 13),
         State::Failed, 400},
    };
    for (const ParseCase& c : cases) {
        HttpRequestParser parser(SmallLimits());
        EXPECT_EQ(parser.Feed(c.bytes), c.state) << c.name;
        if (c.state == State::Failed) {
            EXPECT_EQ(parser.errorStatus(), c.status) << c.name;
            EXPECT_FALSE(parser.errorReason().empty()) << c.name;
        }
        // Byte by byte gives the same outcome (a head split anywhere, CR LF
        // split between two reads).
        HttpRequestParser slow(SmallLimits());
        State state = State::NeedMore;
        for (char ch : c.bytes) {
            state = slow.Feed(std::string_view(&ch, 1));
        }
        EXPECT_EQ(state, c.state) << c.name << " byte by byte";
    }
}

TEST(HttpRequestParser, CompleteRequestKeepsPathQueryHeadersAndExactBody) {
    HttpRequestParser parser(SmallLimits());
    const std::string body("a\r\n\0b", 5);
    ASSERT_EQ(parser.Feed("POST /api/reports?serial=A%20B&limit=5 HTTP/1.1\r\nX-Thing:  v  \r\n"
                          "Content-Length: 5\r\nExpect: 100-continue\r\n\r\n"),
              State::NeedMore);
    EXPECT_TRUE(parser.WantsContinue());
    ASSERT_EQ(parser.Feed(body + "trailing bytes are dropped"), State::Complete);
    const HttpRequest request = parser.TakeRequest();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/api/reports");
    EXPECT_EQ(request.Header("x-thing").value_or("?"), "v");
    EXPECT_EQ(request.body, body);
    const auto fields = request.QueryFields();
    EXPECT_EQ(fields.at("serial"), "A B");
    EXPECT_EQ(fields.at("limit"), "5");
}

TEST(FormFields, DecodeEscapesPlusAndBrokenEscapes) {
    const auto fields = HttpRequest::ParseFormFields("user=a+b%3Cc%3E&password=%zz%4&&x&user=2");
    EXPECT_EQ(fields.at("user"), "a b<c>");  // the first of a repeated name wins
    EXPECT_EQ(fields.at("password"), "%zz%4");
    EXPECT_EQ(fields.at("x"), "");
}

// The body the site tool sends, byte for byte.
std::string SiteBody(const std::string& path, const std::string& file) {
    return UploadBody::Compose(path, file);
}

std::string SiteContentType() {
    const std::string_view header = UploadBody::kContentTypeHeader;
    return std::string(header.substr(header.find(':') + 2));
}

TEST(MultipartForm, SiteToolBodyGivesTheFilePlusItsExtraLineBreak) {
    const std::string file = "[DIAGNOSIS]\r\n\r\nDATE=2024/01/02\r\n\r\n";
    for (const std::string path : {"C:\\VOK\\DIAGNOSIS\\REPORT\\REPORT_X.VOK",
                                   "/home/a/../../etc/passwd", "/tmp/with \"quote\".VOK", ""}) {
        const Result<std::vector<FormPart>> parts =
            MultipartForm::Parse(SiteContentType(), SiteBody(path, file));
        ASSERT_TRUE(parts) << path << ": " << parts.error();
        ASSERT_EQ(parts->size(), 1u);
        const FormPart& part = parts->front();
        EXPECT_EQ(part.name, "userfile");
        EXPECT_TRUE(part.hasFileName);
        EXPECT_EQ(part.fileName, path);
        EXPECT_EQ(part.content, file + "\r\n");
    }
}

TEST(MultipartForm, BrowserStyleBodiesAndTheirFields) {
    const std::string body =
        "--XyZ\r\nContent-Disposition: form-data; name=\"note\"\r\n\r\nhello\r\n"
        "--XyZ  \r\nContent-Disposition: form-data; name=\"userfile\"; filename=\"r.VOK\"\r\n"
        "Content-Type: application/octet-stream\r\n\r\nA\r\n-XyZ\r\nB--XyZ\r\n--XyZ--\r\nepilogue";
    const auto parts = MultipartForm::Parse("multipart/form-data; boundary=\"XyZ\"", body);
    ASSERT_TRUE(parts) << parts.error();
    ASSERT_EQ(parts->size(), 2u);
    EXPECT_FALSE(parts->at(0).hasFileName);
    EXPECT_EQ(parts->at(0).content, "hello");
    const FormPart* file = MultipartForm::FindFile(parts.value(), "userfile");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->content, "A\r\n-XyZ\r\nB--XyZ");  // a delimiter needs CR LF before it
    EXPECT_EQ(MultipartForm::FindFile(parts.value(), "note"), nullptr);
}

TEST(MultipartForm, RefusesBodiesThatAreNotWholeForms) {
    const std::string good = SiteBody("C:\\a.VOK", "[DIAGNOSIS]\r\n");
    const std::string type = SiteContentType();
    const std::string kBoundary = "---------------------------7d13a23b368";
    struct Refusal {
        const char* name;
        std::string contentType;
        std::string body;
    };
    std::vector<Refusal> refusals = {
        {"not multipart", "application/x-www-form-urlencoded", "a=b"},
        {"no boundary", "multipart/form-data", good},
        {"empty boundary", "multipart/form-data; boundary=", good},
        {"boundary too long", "multipart/form-data; boundary=" + std::string(71, 'b'), good},
        {"other boundary", "multipart/form-data; boundary=other", good},
        {"no close delimiter", type, good.substr(0, good.size() - 4) + "\r\n"},
        {"no disposition", type,
         "--" + kBoundary + "\r\nX: y\r\n\r\nz\r\n--" + kBoundary + "--\r\n"},
    };
    // A cut body is refused, never read as a shorter file: cuts in the
    // delimiter, the part's head, the file and the close delimiter.
    for (const std::size_t cut : {std::size_t{0}, std::size_t{10}, good.find("\r\n\r\n") + 2,
                                  good.find("[DIAGNOSIS]") + 3, good.size() - 5}) {
        refusals.push_back({"cut", type, good.substr(0, cut)});
    }
    for (const Refusal& r : refusals) {
        EXPECT_FALSE(MultipartForm::Parse(r.contentType, r.body)) << r.name << " " << r.body.size();
    }
}

TEST(MultipartForm, PartCountIsBounded) {
    std::string body;
    for (std::size_t i = 0; i <= MultipartForm::kMaxParts; ++i) {
        body += "--b\r\nContent-Disposition: form-data; name=\"f\"\r\n\r\nx\r\n";
    }
    body += "--b--\r\n";
    EXPECT_FALSE(MultipartForm::Parse("multipart/form-data; boundary=b", body));
}

}  // namespace
}  // namespace vok::center
