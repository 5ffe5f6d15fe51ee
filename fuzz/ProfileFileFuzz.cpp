// Any bytes as an INI file: parsing and lookups must never crash, read out of
// bounds or return more than size - 1 characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const vok::ProfileFile profile = vok::ProfileFile::Parse(text);
    // Ask for names that occur in the input as well as fixed ones.
    const std::string probe = text.substr(0, text.find_first_of("=\n]"));
    constexpr std::size_t kSizes[] = {0, 1, 80, 255};
    for (std::size_t bufferSize : kSizes) {
        const char* sections[] = {"SERVICE", "user", "HT_INFO_001", probe.c_str(), ""};
        for (const char* section : sections) {
            const std::string value = profile.Get(section, probe, "default", bufferSize);
            if (bufferSize > 0 && value.size() > bufferSize - 1) {
                std::abort();
            }
            profile.Get(section, "PARAM01", "255", bufferSize);
        }
    }
    return 0;
}
