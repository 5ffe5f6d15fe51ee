// What CONFIG.ini reads as; how a profile file is read is the profile
// reader's own test.
#include "report/SiteConfig.h"

#include <gtest/gtest.h>

namespace vok {
namespace {

const std::string kExample = VOK_EXAMPLES_DIR "/CONFIG.ini";

TEST(SiteConfigTest, ReportReadsAllNineteenFieldsFormsLeaveTheTypedOnlyFieldsEmpty) {
    const SiteInfo site = SiteConfig::LoadSiteInfo(kExample);
    for (std::size_t n = 0; n < kSiteFieldCount; ++n) {
        EXPECT_FALSE(site.Field(n).empty()) << "field " << n;
    }
    EXPECT_EQ(site.m_strComment, "Room 2 generator, tube warm-up done daily");

    // NAME, EMAIL, PHONE and FAX are keys of both sections.
    const SiteInfo user = SiteConfig::ReadUserForm(kExample);
    EXPECT_EQ(user.m_strUserName, "Anna Becker");
    EXPECT_EQ(user.m_strComment, "");

    const SiteInfo service = SiteConfig::ReadServiceForm(kExample);
    EXPECT_EQ(service.m_strEngName, "Daniel Hartmann");
    EXPECT_EQ(service.m_strHisCause, "");
    EXPECT_EQ(service.m_strHisAction, "");
    EXPECT_EQ(service.m_strUserName, "");
}

}  // namespace
}  // namespace vok
