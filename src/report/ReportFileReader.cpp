#include "report/ReportFileReader.h"

#include <climits>
#include <cstdio>

#include "core/Constants.h"
#include "platform/ProfileFile.h"

namespace vok {

namespace {

constexpr std::size_t kNameBufferSize = 32;
constexpr int kDecimalBase = 10;

// atoi as the C library defines it: leading blanks, an optional sign, then
// digits up to the first non-digit; a text without digits is 0. Saturates
// instead of overflowing.
int AsciiToInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * kDecimalBase + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        value = INT_MAX;
    }
    return static_cast<int>(value);
}

// The byte a parameter value stands for: atoi of at most 79 characters, low
// 8 bits kept ("300" -> 44, "-1" -> 255, "abc" -> 0).
std::uint8_t ParamByte(const ProfileFile& profile, std::size_t section, const char* key) {
    std::string_view value;
    if (!profile.FindInSection(section, key, value)) {
        value = kParamDefault;
    }
    value = value.substr(0, kShortValueSize - 1);
    return static_cast<std::uint8_t>(static_cast<unsigned>(AsciiToInt(value)));
}

template <typename Table>
void ReadTable(const ProfileFile& profile, const std::string& sectionFormat, Table& table) {
    const std::string keyFormat(kParamKeyFormat);
    char keys[kParamCount][kNameBufferSize];
    for (std::size_t n = 0; n < kParamCount; ++n) {
        std::snprintf(keys[n], kNameBufferSize, keyFormat.c_str(), static_cast<int>(n + 1));
    }
    char section[kNameBufferSize];
    for (std::size_t k = 1; k < table.size(); ++k) {
        std::snprintf(section, sizeof section, sectionFormat.c_str(), static_cast<int>(k));
        const std::size_t found = profile.FindSection(section);
        for (std::size_t n = 0; n < kParamCount; ++n) {
            table[k].params[n] = ParamByte(profile, found, keys[n]);
        }
    }
}

}  // namespace

ReportData ReportFileReader::ReadReportFile(const std::string& path) {
    return ReadReportFile(ProfileFile::Load(path));
}

ReportData ReportFileReader::ReadReportFile(const ProfileFile& profile) {
    ReportData report;

    report.m_strDate = profile.Get(kDiagnosisSection, "DATE", "", kShortValueSize);
    report.m_strTime = profile.Get(kDiagnosisSection, "TIME", "", kShortValueSize);

    for (std::size_t n = 0; n < kSiteFieldCount; ++n) {
        report.m_SiteInfo.Field(n) =
            profile.Get(kSiteKeys[n].section, kSiteKeys[n].key, "", kLongValueSize);
    }

    const std::string interface =
        profile.Get(kConsoleSection, "INTERFACE", kInterfaceDefault, kLongValueSize);
    const std::string version = profile.Get(kConsoleSection, "VERSION", "", kLongValueSize);
    report.m_strConsoleVersion =
        AsciiToInt(interface) == kConsoleInterfaceVersion ? version : std::string(kNbsp);

    ReadTable(profile, std::string(kHtSectionFormat), report.m_HtInfo);
    ReadTable(profile, std::string(kCmdSectionFormat), report.m_CmdInfo);
    return report;
}

}  // namespace vok
