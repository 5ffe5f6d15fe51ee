#include "center/ReportIndexer.h"

#include <openssl/evp.h>
#include <sodium.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "core/DiagnosisData.h"
#include "core/DiagnosisRecord.h"
#include "platform/ProfileFile.h"
#include "report/LogDecoder.h"
#include "report/LogLayout.h"
#include "report/ReportFileFormat.h"
#include "report/ReportFileReader.h"
#include "report/SystemInfoDecoder.h"
#include "report/ValueFormat.h"

namespace vok::center {

namespace {

constexpr int kSerialRecord = 3;
constexpr int kSerialLength = 10;

// The decoders' texts are ready for the HTML page; the store keeps plain
// text, and their only entity is the no-value mark.
std::string Plain(std::string text) {
    return text == kNbsp ? std::string() : text;
}

std::string SectionName(std::string_view format, int k) {
    char name[32];
    std::snprintf(name, sizeof name, std::string(format).c_str(), k);
    return name;
}

Status CheckSections(const ProfileFile& profile) {
    for (std::string_view section : {kDiagnosisSection, kConsoleSection}) {
        if (profile.FindSection(section) == ProfileFile::npos) {
            return Error{"not a report file: no [" + std::string(section) + "] section"};
        }
    }
    for (int k = 1; k < static_cast<int>(kHtRecordCount); ++k) {
        const std::string name = SectionName(kHtSectionFormat, k);
        if (profile.FindSection(name) == ProfileFile::npos) {
            return Error{"not a complete report file: no [" + name + "] section"};
        }
    }
    for (int k = 1; k < static_cast<int>(kCmdRecordCount); ++k) {
        const std::string name = SectionName(kCmdSectionFormat, k);
        if (profile.FindSection(name) == ProfileFile::npos) {
            return Error{"not a complete report file: no [" + name + "] section"};
        }
    }
    return Done{};
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

Result<IndexedReport> ReportIndexer::Index(std::string content, std::string_view sentName,
                                           const DefinitionFile& definitions) const {
    if (content.size() > m_maxBytes) {
        return Error{"report file larger than " + std::to_string(m_maxBytes) + " bytes"};
    }
    if (content.empty()) {
        return Error{"empty file"};
    }
    IndexedReport indexed;
    indexed.sha256 = Sha256Hex(content);
    // A sent name is the client's word: control characters (a zero byte
    // above all) have no place in a name and are dropped.
    for (char c : sentName) {
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) {
            indexed.sentName += c;
        }
    }
    indexed.fileName = BaseName(indexed.sentName);
    indexed.receivedAt = UtcNow();

    const ProfileFile profile = ProfileFile::Parse(content);
    if (Status complete = CheckSections(profile); !complete) {
        return Error{complete.error()};
    }
    const ReportData report = ReportFileReader::ReadReportFile(profile);
    indexed.content = std::move(content);

    const auto ht = [&report](int k, int n) {
        return static_cast<int>(
            report.m_HtInfo[static_cast<std::size_t>(k)].params[static_cast<std::size_t>(n - 1)]);
    };
    const auto cmd = [&report](int k, int n) {
        return static_cast<int>(
            report.m_CmdInfo[static_cast<std::size_t>(k)].params[static_cast<std::size_t>(n - 1)]);
    };

    // The generator's serial as the site tool names the file with it.
    if (ht(kSerialRecord, 1) == kNoValue) {
        indexed.serial = std::string(kNoSerial);
    } else {
        for (int n = 1; n <= kSerialLength && ht(kSerialRecord, n) != 0; ++n) {
            indexed.serial += static_cast<char>(ht(kSerialRecord, n));
        }
    }
    indexed.dateText = report.m_strDate;
    indexed.timeText = report.m_strTime;
    indexed.reportDate = IsoDateTime(report.m_strDate, report.m_strTime);
    for (std::size_t n = 0; n < kSiteFieldCount; ++n) {
        indexed.site[n] = report.m_SiteInfo.Field(n);
    }
    indexed.consoleVersion = Plain(report.m_strConsoleVersion);

    const SystemInfoDecoder decoder(report);
    if (ht(kSystemRecord, 1) != kNoValue) {
        indexed.model = Plain(SystemInfoDecoder::GetModelText(ht(1, 3)));
        indexed.power = Plain(SystemInfoDecoder::GetKwText(ht(1, 3)));
        indexed.maxKv = Plain(SystemInfoDecoder::GetKvText(ht(1, 1)));
        indexed.maxMa = Plain(SystemInfoDecoder::GetMaText(ht(1, 2)));
        indexed.maxMas = Plain(SystemInfoDecoder::GetMasText(ht(1, 4)));
    }
    indexed.exposuresTotal = decoder.GetExposureTotal();
    indexed.exposuresToday = decoder.GetExposureToday();
    indexed.errorCount = decoder.GetErrorCount();
    indexed.heatUnitsTotal = decoder.GetHeatUnitTotal();
    indexed.heatUnitsToday = decoder.GetHeatUnitToday();
    indexed.heatWarnings = ht(kCountersRecord, 8);
    indexed.errorLogCount = ht(kCountersRecord, kErrorLogCountParam);
    indexed.protocolLogCount = ht(kCountersRecord, kProtocolCountParam);

    // The same entries and blocks the HTML report shows.
    if (ht(kErrorLogFirstRecord, 1) != kNoValue) {
        const int entries = std::min(ht(kCountersRecord, kErrorLogCountParam), kErrorLogCapacity);
        for (int i = 0; i < entries; ++i) {
            const int a = kErrorLogFirstRecord + kErrorLogRecordsPerEntry * i;
            if (ht(a, 1) == kNoValue) {
                continue;
            }
            ErrorLogEntry entry;
            entry.entry = i;
            entry.logIndex = ht(a, 1);
            entry.code = ht(a, 2);
            entry.code1 = ht(a, 3);
            entry.code2 = ht(a, 4);
            entry.text = definitions.GetErrorText(entry.code);
            entry.date = LogDecoder::GetLogDateText(ht(a, 5), ht(a, 6), ht(a, 7));
            entry.time = LogDecoder::GetLogTimeText(ht(a, 8), ht(a, 9), ht(a, 10));
            indexed.errors.push_back(std::move(entry));
        }
    }
    const int blocks = std::min(ht(kCountersRecord, kProtocolCountParam), kProtocolCapacity);
    for (int b = 0; b < blocks; ++b) {
        ProtocolBlock block;
        block.block = b;
        for (int n = 0; n < kProtocolBlockRecords; ++n) {
            const int r = kProtocolBlockRecords * b + 1 + n;
            const int command = cmd(r, 6);
            if (command == kNoValue) {
                continue;
            }
            ++block.rows;
            block.text += std::to_string(n);
            for (const std::string& cell :
                 {LogDecoder::GetHexByteText(command), definitions.GetCommandText(command),
                  LogDecoder::GetHexByteText(cmd(r, 7)),
                  Plain(LogDecoder::GetHexByteText(cmd(r, 8))),
                  Plain(LogDecoder::GetHexByteText(cmd(r, 9))),
                  Plain(LogDecoder::GetHexByteText(cmd(r, 10))),
                  LogDecoder::GetLogTimeText(cmd(r, 3), cmd(r, 4), cmd(r, 5))}) {
                block.text += '\t';
                block.text += cell;
            }
            block.text += '\n';
        }
        indexed.protocol.push_back(std::move(block));
    }
    return indexed;
}

std::string ReportIndexer::BaseName(std::string_view path) {
    const std::size_t cut = path.find_last_of("/\\");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string ReportIndexer::IsoDateTime(std::string_view date, std::string_view time) {
    // "%04d/%02d/%02d" and "%02d:%02d:%02d" as the site tool writes them.
    if (date.size() != 10 || date[4] != '/' || date[7] != '/' || time.size() != 8 ||
        time[2] != ':' || time[5] != ':') {
        return {};
    }
    const std::string_view parts[] = {date.substr(0, 4), date.substr(5, 2), date.substr(8, 2),
                                      time.substr(0, 2), time.substr(3, 2), time.substr(6, 2)};
    if (!std::all_of(std::begin(parts), std::end(parts), AllDigits)) {
        return {};
    }
    const int month = std::stoi(std::string(parts[1]));
    const int day = std::stoi(std::string(parts[2]));
    const int hour = std::stoi(std::string(parts[3]));
    const int minute = std::stoi(std::string(parts[4]));
    const int second = std::stoi(std::string(parts[5]));
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) {
        return {};
    }
    std::string iso;
    iso.append(parts[0]).append("-").append(parts[1]).append("-").append(parts[2]);
    iso.append("T").append(parts[3]).append(":").append(parts[4]).append(":").append(parts[5]);
    return iso;
}

std::string ReportIndexer::Sha256Hex(std::string_view bytes) {
    // OpenSSL's digest uses the processor's SHA instructions where it has
    // them: several times faster than libsodium's portable one, and every
    // upload is hashed whole.
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1 ||
        length != crypto_hash_sha256_BYTES) {
        // A library without SHA-256 (a restricted provider set-up): the
        // same digest the portable way.
        length = crypto_hash_sha256_BYTES;
        crypto_hash_sha256(digest, reinterpret_cast<const unsigned char*>(bytes.data()),
                           bytes.size());
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * length);
    for (unsigned int i = 0; i < length; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 0x0F];
    }
    return hex;
}

std::string ReportIndexer::UtcNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm utc{};
    ::gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace vok::center
