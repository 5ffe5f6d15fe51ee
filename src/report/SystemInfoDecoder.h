#pragma once

#include <cstdint>
#include <string>

#include "report/ReportData.h"

namespace vok {

// Turns the coded bytes of HT_INFO records 1 to 6 into the cell texts of the
// System Infomation table. Code decoders take the byte zero-extended in an
// int; any code outside a list gives "&nbsp;". The decoders that read the
// table themselves work on the report given at construction, which must
// outlive the decoder.
//
// Every result is ready for the page: the program's own texts are markup
// already, and characters that come from the generator or the report file
// (serial number, versions) arrive HTML-escaped.
class SystemInfoDecoder {
public:
    explicit SystemInfoDecoder(const ReportData& report) : m_report(report) {}
    // It keeps a reference: a temporary report would be gone before the first lookup.
    explicit SystemInfoDecoder(ReportData&&) = delete;

    static std::string GetModelText(int code);
    static std::string GetKwText(int code);
    static std::string GetKvText(int code);
    static std::string GetMaText(int code);
    static std::string GetMasText(int code);
    // The mains byte: supply code in bits 4 to 7, frequency code in bits 0 to 3.
    static std::string GetVoltageText(int mains);
    static std::string GetPhaseText(int mains);
    static std::string GetFrequencyText(int mains);
    static std::string GetOptionText(int bits);
    static std::string GetPrepTimeText(int code);
    // which 1: high nibble (Bucky1), 2: low nibble (Bucky2).
    static std::string GetBuckyTypeText(int byte, int which);
    // which 0: Non-Bucky (bits 5-7), 1: Bucky1 (bits 2-4), 2: Bucky2 (bits 0-1).
    static std::string GetBuckySettingText(int byte, int which);
    static std::string GetEnableText(int byte, int bit);
    // which 1: AEC1 (setting bits 6-7, field bits 4-5), 2: AEC2 (2-3, 0-1).
    static std::string GetAecSettingText(int byte, int which);
    static std::string GetAecFieldText(int byte, int which);
    // The byte counts 10 ms steps; 0 is "N/A".
    static std::string GetDelayTimeText(int value);

    std::string GetSerialNumberText() const;
    std::string GetDeliveryDateText() const;
    std::string GetHtVersionText() const;
    std::string GetConsoleVersionText() const;
    std::string GetExposureTotalText() const;
    std::string GetExposureTodayText() const;
    std::string GetErrorCountText() const;
    std::string GetHeatUnitTotalText() const;
    std::string GetHeatUnitTodayText() const;

    // The counters behind those texts, as numbers (the same bytes, the same
    // signedness), for programs that compare reports.
    std::int32_t GetExposureTotal() const;
    std::int32_t GetExposureToday() const;
    std::int32_t GetErrorCount() const;
    std::int32_t GetHeatUnitTotal() const;
    std::int32_t GetHeatUnitToday() const;

    // Digits in groups of three with ",", negatives in parentheses, the same
    // on every locale: 1234567 -> "1,234,567", -5000 -> "(5,000)".
    static std::string FormatGroupedNumber(std::int32_t value);

private:
    // Parameter n (1 to 10) of HT_INFO record k.
    int Ht(int k, int n) const;
    // Bytes n to n + count - 1 of record k, the first the least significant.
    std::uint32_t HtNumber(int k, int n, int count) const;

    const ReportData& m_report;
};

}  // namespace vok
