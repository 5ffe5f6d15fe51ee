#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace vok {

// The number of fields, and the sections of the site configuration and
// report files that hold them.
inline constexpr std::size_t kSiteFieldCount = 19;
inline constexpr std::string_view kServiceSection = "SERVICE";
inline constexpr std::string_view kUserSection = "USER";

// The 19 user and service strings of one installation, in the fixed order of
// fields, file keys and form boxes.
struct SiteInfo {
    std::string m_strManufacture;
    std::string m_strModel;
    std::string m_strInstallDate;
    std::string m_strSystemSerial;
    std::string m_strDescription;
    std::string m_strEngName;
    std::string m_strEngEmail;
    std::string m_strEngPhone;
    std::string m_strEngFax;
    std::string m_strHisDate;
    std::string m_strHisCause;
    std::string m_strHisAction;
    std::string m_strHospital;
    std::string m_strAddress;
    std::string m_strUserName;
    std::string m_strUserEmail;
    std::string m_strUserPhone;
    std::string m_strUserFax;
    std::string m_strComment;

    // Field n (0 to 18) in the fixed order.
    std::string& Field(std::size_t n);
    const std::string& Field(std::size_t n) const;

    bool operator==(const SiteInfo&) const = default;
};

// Where each field lives in the site configuration file and in a report file.
struct SiteKey {
    std::string_view section;
    std::string_view key;
};

inline constexpr std::array<SiteKey, kSiteFieldCount> kSiteKeys = {{
    {kServiceSection, "MANUFACTURE"}, {kServiceSection, "MODEL"},       {kServiceSection, "DATE"},
    {kServiceSection, "SERIAL"},      {kServiceSection, "DESCRIPTION"}, {kServiceSection, "NAME"},
    {kServiceSection, "EMAIL"},       {kServiceSection, "PHONE"},       {kServiceSection, "FAX"},
    {kServiceSection, "HIS_DATE"},    {kServiceSection, "CAUSE"},       {kServiceSection, "ACTION"},
    {kUserSection, "HOSPITAL"},       {kUserSection, "ADDRESS"},        {kUserSection, "NAME"},
    {kUserSection, "EMAIL"},          {kUserSection, "PHONE"},          {kUserSection, "FAX"},
    {kUserSection, "COMMENT"},
}};

// Field positions that split the list into its service and user parts.
inline constexpr std::size_t kFirstServiceField = 0;
inline constexpr std::size_t kServiceFieldCount = 12;
inline constexpr std::size_t kFirstUserField = 12;
inline constexpr std::size_t kUserFieldCount = 7;
inline constexpr std::size_t kHisCauseField = 10;
inline constexpr std::size_t kHisActionField = 11;
inline constexpr std::size_t kHospitalField = 12;
inline constexpr std::size_t kAddressField = 13;
inline constexpr std::size_t kCommentField = 18;

}  // namespace vok
