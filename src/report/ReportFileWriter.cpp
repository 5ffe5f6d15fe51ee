#include "report/ReportFileWriter.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "core/DiagnosisData.h"
#include "core/DiagnosisRecord.h"
#include "platform/AtomicFile.h"
#include "report/ReportFileFormat.h"

namespace vok {

namespace {

constexpr std::string_view kReportNameFormat = "REPORT_%s_%04d%02d%02d_%02d%02d%02d.VOK";
constexpr int kTmYearBase = 1900;

constexpr std::string_view kCrLf = "\r\n";
constexpr std::size_t kFormatBufferSize = 64;
constexpr char kNameReplacement = '_';
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

// Bytes of 0x80 and above are no characters on their own: an unprogrammed
// serial (0xFF bytes) would give a name that is not valid UTF-8.
bool IsForbiddenInName(unsigned char c) {
    return c < kFirstPrintable || c >= kDelete || std::strchr("/\\:*?\"<>|", c) != nullptr;
}

// Appends a value so that it stays on one line: CR LF, CR and LF each become
// one space, and nothing else changes.
void AppendOneLine(std::string& out, const std::string& value) {
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r') {
            if (i + 1 < value.size() && value[i + 1] == '\n') {
                ++i;
            }
            out += ' ';
        } else if (c == '\n') {
            out += ' ';
        } else {
            out += c;
        }
    }
}

void Line(std::string& out, std::string_view text = {}) {
    out += text;
    out += kCrLf;
}

void KeyLine(std::string& out, std::string_view key, const std::string& value) {
    out += key;
    out += '=';
    AppendOneLine(out, value);
    out += kCrLf;
}

template <typename... Args>
void FormattedLine(std::string& out, const char* format, Args... args) {
    char buffer[kFormatBufferSize];
    const int n = std::snprintf(buffer, sizeof buffer, format, args...);
    out.append(buffer, static_cast<std::size_t>(n));
    out += kCrLf;
}

constexpr unsigned kDecimal = 10;

// The byte as unsigned decimal without leading zeros, as "%u" prints it.
void AppendByte(std::string& out, std::uint8_t byte) {
    const unsigned value = byte;
    if (value >= kDecimal * kDecimal) {
        out += static_cast<char>('0' + value / (kDecimal * kDecimal));
    }
    if (value >= kDecimal) {
        out += static_cast<char>('0' + value / kDecimal % kDecimal);
    }
    out += static_cast<char>('0' + value % kDecimal);
}

template <typename Table>
void AppendBlocks(std::string& out, const char* sectionFormat, const Table& table) {
    const std::string sectionLine = std::string("[") + sectionFormat + "]";
    const std::string keyFormat(kParamKeyFormat);
    std::array<std::string, kParamCount> keys;
    for (std::size_t n = 0; n < kParamCount; ++n) {
        char key[kFormatBufferSize];
        const int length =
            std::snprintf(key, sizeof key, keyFormat.c_str(), static_cast<int>(n + 1));
        keys[n].assign(key, static_cast<std::size_t>(length));
        keys[n] += '=';
    }
    for (std::size_t k = 1; k < table.size(); ++k) {
        FormattedLine(out, sectionLine.c_str(), static_cast<int>(k));
        for (std::size_t n = 0; n < kParamCount; ++n) {
            out += keys[n];
            AppendByte(out, table[k].params[n]);
            out += kCrLf;
        }
        Line(out);
    }
}

}  // namespace

std::string ReportFileWriter::ReportName(const std::string& serial, const std::tm& local) {
    std::string safeSerial = serial;
    for (char& c : safeSerial) {
        if (IsForbiddenInName(static_cast<unsigned char>(c))) {
            c = kNameReplacement;
        }
    }
    // The serial goes in as a whole string, so an embedded NUL cannot cut the
    // name short (it has become "_" above anyway).
    const std::string_view format = kReportNameFormat;
    const std::size_t split = format.find("%s");
    char tail[kFormatBufferSize];
    const int n = std::snprintf(tail, sizeof tail, std::string(format.substr(split + 2)).c_str(),
                                local.tm_year + kTmYearBase, local.tm_mon + 1, local.tm_mday,
                                local.tm_hour, local.tm_min, local.tm_sec);
    return std::string(format.substr(0, split)) + safeSerial +
           std::string(tail, static_cast<std::size_t>(n));
}

std::string ReportFileWriter::Compose(const SiteInfo& site, const DiagnosisData& data,
                                      const std::tm& local) {
    std::string out;
    constexpr std::size_t kTypicalFileSize = std::size_t{64} * 1024;
    out.reserve(kTypicalFileSize);

    Line(out, "[DIAGNOSIS]");
    Line(out);
    FormattedLine(out, "DATE=%04d/%02d/%02d", local.tm_year + kTmYearBase, local.tm_mon + 1,
                  local.tm_mday);
    FormattedLine(out, "TIME=%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    Line(out);

    Line(out, "[SERVICE]");
    Line(out);
    Line(out, "UPDATE=OK");
    for (std::size_t n = kFirstServiceField; n < kFirstServiceField + kServiceFieldCount; ++n) {
        KeyLine(out, kSiteKeys[n].key, site.Field(n));
    }
    Line(out);

    Line(out, "[USER]");
    Line(out);
    for (std::size_t n = kFirstUserField; n < kFirstUserField + kUserFieldCount; ++n) {
        KeyLine(out, kSiteKeys[n].key, site.Field(n));
    }
    Line(out);

    Line(out, "[CONSOLE]");
    Line(out);
    FormattedLine(out, "INTERFACE=%d", kConsoleInterfaceVersion);
    std::string version;
    if (data.m_bConsoleVersion == 1) {
        // Bytes 1 to 7 as characters, each one written as it is (%c).
        version.assign(reinterpret_cast<const char*>(data.m_ConsoleVersion.data()),
                       kConsoleVersionWrittenBytes);
    }
    KeyLine(out, "VERSION", version);
    Line(out);

    AppendBlocks(out, std::string(kHtSectionFormat).c_str(), data.m_HtInfo);
    AppendBlocks(out, std::string(kCmdSectionFormat).c_str(), data.m_CmdInfo);
    return out;
}

Result<WrittenReport> ReportFileWriter::WriteReportFile(const std::filesystem::path& folder,
                                                        const SiteInfo& site,
                                                        const DiagnosisData& data,
                                                        std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);

    WrittenReport written;
    written.m_strReportName = ReportName(data.m_strSerial, local);
    const std::filesystem::path path = folder / written.m_strReportName;
    written.m_strReportPath = path.string();

    // Only the report folder itself is made: a folder above it that is
    // missing is a mistyped data folder, not one to create.
    std::error_code ec;
    std::filesystem::create_directory(folder, ec);
    if (ec) {
        return Error{"Cannot create the folder " + folder.string() + ": " + ec.message()};
    }

    if (Status saved = AtomicFile::Write(written.m_strReportPath, Compose(site, data, local));
        !saved) {
        return Error{"Cannot write " + written.m_strReportPath + ": " + saved.error()};
    }
    return written;
}

}  // namespace vok
