#include "report/DefinitionFile.h"

#include <cstdio>

#include "core/Constants.h"

namespace vok {

namespace {

constexpr int kLastCode = 255;
constexpr std::size_t kKeyBufferSize = 32;
constexpr std::size_t kFormatBufferSize = 32;

}  // namespace

DefinitionFile DefinitionFile::Load(const std::string& path) {
    return DefinitionFile(ProfileFile::Load(path));
}

DefinitionFile DefinitionFile::Parse(std::string text) {
    return DefinitionFile(ProfileFile::Parse(std::move(text)));
}

std::string DefinitionFile::LookupDefinition(std::string_view section, std::string_view keyFormat,
                                             int code) const {
    if (code < 0 || code > kLastCode) {
        return std::string(kNbsp);
    }
    // The formats are our own constants; copied to be sure of the terminator.
    char format[kFormatBufferSize] = {};
    keyFormat.copy(format, sizeof format - 1);
    char key[kKeyBufferSize];
    std::snprintf(key, sizeof key, format, code);
    return m_profile.Get(section, key, "", kShortValueSize);
}

std::string DefinitionFile::GetErrorText(int code) const {
    return LookupDefinition(kDefineErrorSection, kDefineErrorKeyFormat, code);
}

std::string DefinitionFile::GetCommandText(int code) const {
    return LookupDefinition(kDefineCommandSection, kDefineCommandKeyFormat, code);
}

std::string DefinitionFile::GetTubeText(int code) const {
    return LookupDefinition(kDefineTubeSection, kDefineTubeKeyFormat, code);
}

}  // namespace vok
