#include "report/DefinitionFile.h"

#include <cstdio>

#include "platform/AsciiText.h"
#include "platform/ProfileFile.h"
#include "report/ValueFormat.h"

namespace vok {

namespace {

// Definition file sections and key formats.
constexpr std::string_view kDefineErrorSection = "ERROR";
constexpr std::string_view kDefineCommandSection = "COMMAND";
constexpr std::string_view kDefineTubeSection = "TUBE";
constexpr std::string_view kDefineErrorKeyFormat = "CODE_0X%02X";
constexpr std::string_view kDefineCommandKeyFormat = "COMMAND_%02d";
constexpr std::string_view kDefineTubeKeyFormat = "TUBE_%02d";

constexpr int kLastCode = 255;
constexpr std::size_t kKeyBufferSize = 32;
constexpr std::size_t kFormatBufferSize = 32;
constexpr int kDecimalBase = 10;
constexpr int kHexBase = 16;
constexpr std::size_t kMaxCodeDigits = 3;

// The key of a code: the format (our own constant, one int conversion)
// printed for it.
std::string FormatKey(std::string_view keyFormat, int code) {
    char format[kFormatBufferSize] = {};
    keyFormat.copy(format, sizeof format - 1);
    char key[kKeyBufferSize];
    std::snprintf(key, sizeof key, format, code);
    return key;
}

int DigitValue(char c) {
    c = AsciiLower(c);
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + kDecimalBase;
    }
    return kHexBase;
}

// The code a file key stands for under the key format, or -1: the key must
// read exactly as the format prints that code (in any case), so that the
// index finds what a lookup of the printed key finds.
int CodeOfKey(std::string_view key, std::string_view keyFormat) {
    const std::size_t percent = keyFormat.find('%');
    const std::string_view prefix = keyFormat.substr(0, percent);
    if (percent == std::string_view::npos || key.size() <= prefix.size() ||
        key.size() > prefix.size() + kMaxCodeDigits ||
        !EqualsIgnoreCase(key.substr(0, prefix.size()), prefix)) {
        return -1;
    }
    const int base = (keyFormat.back() == 'X' || keyFormat.back() == 'x') ? kHexBase : kDecimalBase;
    int code = 0;
    for (char c : key.substr(prefix.size())) {
        const int digit = DigitValue(c);
        if (digit >= base) {
            return -1;
        }
        code = code * base + digit;
    }
    if (code > kLastCode || !EqualsIgnoreCase(FormatKey(keyFormat, code), key)) {
        return -1;
    }
    return code;
}

}  // namespace

DefinitionFile::DefinitionFile(ProfileFile profile)
    : m_profile(std::move(profile)),
      m_indexes{{{kDefineErrorSection, kDefineErrorKeyFormat},
                 {kDefineCommandSection, kDefineCommandKeyFormat},
                 {kDefineTubeSection, kDefineTubeKeyFormat}}} {
    for (CodeIndex& index : m_indexes) {
        BuildIndex(m_profile, index);
    }
}

void DefinitionFile::BuildIndex(const ProfileFile& profile, CodeIndex& index) {
    index.entry.fill(kNoEntry);
    index.position = profile.FindSection(index.section);
    if (index.position == ProfileFile::npos) {
        return;
    }
    const std::size_t count = profile.EntryCount(index.position);
    for (std::size_t e = 0; e < count; ++e) {
        const int code = CodeOfKey(profile.EntryKey(index.position, e), index.keyFormat);
        if (code >= 0 && index.entry[static_cast<std::size_t>(code)] == kNoEntry) {
            index.entry[static_cast<std::size_t>(code)] = static_cast<std::int32_t>(e);
        }
    }
}

DefinitionFile DefinitionFile::Load(const std::string& path) {
    return DefinitionFile(ProfileFile::Load(path));
}

Result<DefinitionFile> DefinitionFile::Open(const std::string& path) {
    Result<ProfileFile> profile = ProfileFile::OpenIfPresent(path);
    if (!profile) {
        return Error{"Cannot read the definition file " + path + ": " + profile.error()};
    }
    return DefinitionFile(std::move(profile).value());
}

DefinitionFile DefinitionFile::Parse(std::string text) {
    return DefinitionFile(ProfileFile::Parse(std::move(text)));
}

std::string DefinitionFile::LookupDefinition(std::string_view section, std::string_view keyFormat,
                                             int code) const {
    if (code < 0 || code > kLastCode) {
        return std::string(kNbsp);
    }
    for (const CodeIndex& index : m_indexes) {
        if (index.section == section && index.keyFormat == keyFormat) {
            const std::int32_t entry = index.entry[static_cast<std::size_t>(code)];
            if (entry == kNoEntry) {
                return {};
            }
            const std::string_view value =
                m_profile.EntryValue(index.position, static_cast<std::size_t>(entry));
            return std::string(value.substr(0, kShortValueSize - 1));
        }
    }
    return m_profile.Get(section, FormatKey(keyFormat, code), "", kShortValueSize);
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
