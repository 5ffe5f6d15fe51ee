// Any bytes a client sends to the service center: the request parser must
// end in a state within its limits, and the multipart reader must take or
// refuse the body without reading outside it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "center/HttpRequestParser.h"
#include "center/MultipartForm.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using vok::center::HttpRequestParser;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    HttpRequestParser::Limits limits;
    limits.maxHeaderBytes = 1024;
    limits.maxBodyBytes = 4096;
    // The same bytes in two reads, split where the first byte says.
    const std::size_t split = size == 0 ? 0 : data[0] % (size + 1);
    HttpRequestParser parser(limits);
    parser.Feed(bytes.substr(0, split));
    const HttpRequestParser::State state = parser.Feed(bytes.substr(split));
    if (parser.BufferedBytes() > limits.maxHeaderBytes + limits.maxBodyBytes + size) {
        std::abort();
    }
    if (state == HttpRequestParser::State::Complete) {
        const vok::center::HttpRequest request = parser.TakeRequest();
        if (request.body.size() > limits.maxBodyBytes) {
            std::abort();
        }
        const auto parts = vok::center::MultipartForm::Parse(
            request.Header("content-type").value_or(""), request.body);
        if (parts) {
            std::size_t total = 0;
            for (const auto& part : parts.value()) {
                total += part.content.size();
            }
            if (total > request.body.size()) {
                std::abort();
            }
        }
    }
    // The multipart reader alone, on the raw bytes with the site tool's type.
    (void)vok::center::MultipartForm::Parse(
        "multipart/form-data; boundary=---------------------------7d13a23b368", bytes);
    return 0;
}
