#include "report/SiteConfig.h"

#include "platform/ProfileFile.h"
#include "report/SiteInfo.h"

namespace vok {

namespace {

constexpr std::size_t kNoField = kSiteFieldCount;

Result<SiteInfo> ReadFields(const std::string& path, std::size_t first, std::size_t count,
                            std::size_t skipA, std::size_t skipB) {
    const Result<ProfileFile> profile = ProfileFile::OpenIfPresent(path);
    if (!profile) {
        return Error{"Cannot read the site configuration file " + path + ": " + profile.error()};
    }
    SiteInfo site;
    for (std::size_t n = first; n < first + count; ++n) {
        if (n == skipA || n == skipB) {
            continue;
        }
        site.Field(n) = profile->Get(kSiteKeys[n].section, kSiteKeys[n].key, "", kLongValueSize);
    }
    return site;
}

SiteInfo OrEmpty(Result<SiteInfo> site) {
    return site ? std::move(site).value() : SiteInfo();
}

}  // namespace

Result<SiteInfo> SiteConfig::TryLoadSiteInfo(const std::string& path) {
    return ReadFields(path, 0, kSiteFieldCount, kNoField, kNoField);
}

Result<SiteInfo> SiteConfig::TryReadUserForm(const std::string& path) {
    return ReadFields(path, kFirstUserField, kUserFieldCount, kCommentField, kNoField);
}

Result<SiteInfo> SiteConfig::TryReadServiceForm(const std::string& path) {
    return ReadFields(path, kFirstServiceField, kServiceFieldCount, kHisCauseField,
                      kHisActionField);
}

SiteInfo SiteConfig::LoadSiteInfo(const std::string& path) {
    return OrEmpty(TryLoadSiteInfo(path));
}

SiteInfo SiteConfig::ReadUserForm(const std::string& path) {
    return OrEmpty(TryReadUserForm(path));
}

SiteInfo SiteConfig::ReadServiceForm(const std::string& path) {
    return OrEmpty(TryReadServiceForm(path));
}

}  // namespace vok
