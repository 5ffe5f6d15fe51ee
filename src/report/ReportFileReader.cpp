#include "report/ReportFileReader.h"

#include <climits>
#include <cstdio>

#include "core/DiagnosisRecord.h"
#include "platform/ProfileFile.h"
#include "platform/RegularFile.h"
#include "report/ReportFileFormat.h"
#include "report/SiteInfo.h"
#include "report/ValueFormat.h"

namespace vok {

namespace {

constexpr std::string_view kInterfaceDefault = "0";

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
std::uint8_t ParamByte(std::string_view value) {
    // Nearly every value is one to three plain digits.
    constexpr std::size_t kPlainDigits = 3;
    if (!value.empty() && value.size() <= kPlainDigits) {
        unsigned number = 0;
        bool plain = true;
        for (char c : value) {
            plain = plain && c >= '0' && c <= '9';
            number = number * kDecimalBase + static_cast<unsigned>(c - '0');
        }
        if (plain) {
            return static_cast<std::uint8_t>(number);
        }
    }
    value = value.substr(0, kShortValueSize - 1);
    return static_cast<std::uint8_t>(static_cast<unsigned>(AsciiToInt(value)));
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(text[i]) != Lower(prefix[i])) {
            return false;
        }
    }
    return true;
}

// The number a name holds when it is `format` (text, then one "%0Nd") printed
// for a number from 1 to last, in any case; 0 when it is no such name. Below
// 10^N every number prints as exactly N digits.
std::size_t NumberedName(std::string_view name, std::string_view format, std::size_t last) {
    constexpr std::size_t kConversion = 4;  // "%03d"
    const std::string_view prefix = format.substr(0, format.size() - kConversion);
    const auto digits = static_cast<std::size_t>(format[format.size() - 2] - '0');
    if (name.size() != prefix.size() + digits || !StartsWithIgnoreCase(name, prefix)) {
        return 0;
    }
    std::size_t number = 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return 0;
        }
        number = number * kDecimalBase + static_cast<std::size_t>(name[i] - '0');
    }
    return number >= 1 && number <= last ? number : 0;
}

// Fills the records from one walk over the file: for each HT_INFO_nnn and
// CMD_INFO_nnn section the first PARAMnn key of each number counts, exactly
// as one lookup per key would find it. Keys that are missing keep 255.
void ReadTables(const ProfileFile& profile, ReportData& report) {
    static_assert(kHtSectionFormat.ends_with("%03d") && kCmdSectionFormat.ends_with("%03d"));
    static_assert(kParamKeyFormat.ends_with("%02d"));
    static_assert(kHtRecordCount <= 1000 && kCmdRecordCount <= 1000 && kParamCount < 100);
    for (std::size_t s = 0; s < profile.SectionCount(); ++s) {
        const std::string_view name = profile.SectionName(s);
        DiagnosisRecord* record = nullptr;
        if (const std::size_t k = NumberedName(name, kHtSectionFormat, kHtRecordCount - 1)) {
            record = &report.m_HtInfo[k];
        } else if (const std::size_t c =
                       NumberedName(name, kCmdSectionFormat, kCmdRecordCount - 1)) {
            record = &report.m_CmdInfo[c];
        } else {
            continue;
        }
        bool seen[kParamCount] = {};
        for (std::size_t e = 0; e < profile.EntryCount(s); ++e) {
            const std::size_t n =
                NumberedName(profile.EntryKey(s, e), kParamKeyFormat, kParamCount);
            if (n != 0 && !seen[n - 1]) {
                seen[n - 1] = true;
                record->params[n - 1] = ParamByte(profile.EntryValue(s, e));
            }
        }
    }
}

}  // namespace

Result<ReportData> ReportFileReader::Read(const std::string& path) {
    const Result<ProfileFile> profile = ProfileFile::Open(path);
    if (!profile) {
        return Error{"Cannot read the report file " + path + ": " + profile.error()};
    }
    return ReadReportFile(*profile);
}

Result<ReportData> ReportFileReader::Parse(std::string_view bytes) {
    if (bytes.size() > RegularFile::kMaxBytes) {
        return Error{"Cannot read the report: " + RegularFile::TooLargeReason()};
    }
    return ReadReportFile(ProfileFile::Parse(std::string(bytes)));
}

ReportData ReportFileReader::ReadReportFile(const std::string& path) {
    Result<ReportData> report = Read(path);
    return report ? std::move(report).value() : ReadReportFile(ProfileFile());
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

    ReadTables(profile, report);
    return report;
}

}  // namespace vok
