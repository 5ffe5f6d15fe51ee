#include "report/SiteConfig.h"

#include "platform/ProfileFile.h"
#include "report/SiteInfo.h"

namespace vok {

namespace {

SiteInfo ReadFields(const std::string& path, std::size_t first, std::size_t count,
                    std::size_t skipA, std::size_t skipB) {
    const ProfileFile profile = ProfileFile::Load(path);
    SiteInfo site;
    for (std::size_t n = first; n < first + count; ++n) {
        if (n == skipA || n == skipB) {
            continue;
        }
        site.Field(n) = profile.Get(kSiteKeys[n].section, kSiteKeys[n].key, "", kLongValueSize);
    }
    return site;
}

constexpr std::size_t kNoField = kSiteFieldCount;

}  // namespace

SiteInfo SiteConfig::LoadSiteInfo(const std::string& path) {
    return ReadFields(path, 0, kSiteFieldCount, kNoField, kNoField);
}

SiteInfo SiteConfig::ReadUserForm(const std::string& path) {
    return ReadFields(path, kFirstUserField, kUserFieldCount, kCommentField, kNoField);
}

SiteInfo SiteConfig::ReadServiceForm(const std::string& path) {
    return ReadFields(path, kFirstServiceField, kServiceFieldCount, kHisCauseField,
                      kHisActionField);
}

}  // namespace vok
