#include "report/SiteConfig.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace vok {
namespace {

TEST(SiteConfigTest, LoadsAllNineteenFieldsFromTheExample) {
    const SiteInfo site = SiteConfig::LoadSiteInfo(VOK_EXAMPLES_DIR "/CONFIG.ini");
    EXPECT_EQ(site.m_strManufacture, "VOK Medical Systems");
    EXPECT_EQ(site.m_strEngName, "Daniel Hartmann");
    EXPECT_EQ(site.m_strHisAction, "kV and mA calibration checked, filament adjusted");
    EXPECT_EQ(site.m_strHospital, "St. Mary Regional Hospital");
    EXPECT_EQ(site.m_strUserName, "Anna Becker");
    EXPECT_EQ(site.m_strComment, "Room 2 generator, tube warm-up done daily");
    for (std::size_t n = 0; n < kSiteFieldCount; ++n) {
        EXPECT_FALSE(site.Field(n).empty()) << "field " << n;
    }
}

TEST(SiteConfigTest, MissingFileGivesEmptyFields) {
    EXPECT_EQ(SiteConfig::LoadSiteInfo("/nonexistent/CONFIG.ini"), SiteInfo{});
    EXPECT_EQ(SiteConfig::ReadUserForm("/nonexistent/CONFIG.ini"), SiteInfo{});
}

TEST(SiteConfigTest, FieldsFollowTheirSectionsAndLowerCaseNamesAreFound) {
    test::TempDir dir;
    const std::string path = dir.Write("CONFIG.ini",
                                       "[service]\nname=Engineer\nhospital=wrong section\n"
                                       "[USER]\nHospital=General\n");
    const SiteInfo site = SiteConfig::LoadSiteInfo(path);
    EXPECT_EQ(site.m_strEngName, "Engineer");
    EXPECT_EQ(site.m_strUserName, "");
    EXPECT_EQ(site.m_strHospital, "General");
}

TEST(SiteConfigTest, LongValuesKeep254Characters) {
    test::TempDir dir;
    const std::string path =
        dir.Write("CONFIG.ini", "[USER]\nADDRESS=" + std::string(300, 'a') + "\n");
    EXPECT_EQ(SiteConfig::LoadSiteInfo(path).m_strAddress, std::string(254, 'a'));
}

TEST(SiteConfigTest, FormReadsLeaveTheTypedOnlyFieldsEmpty) {
    const SiteInfo user = SiteConfig::ReadUserForm(VOK_EXAMPLES_DIR "/CONFIG.ini");
    EXPECT_EQ(user.m_strHospital, "St. Mary Regional Hospital");
    EXPECT_EQ(user.m_strUserFax, "+49 40 5550 7001");
    EXPECT_EQ(user.m_strComment, "");
    EXPECT_EQ(user.m_strEngName, "");

    const SiteInfo service = SiteConfig::ReadServiceForm(VOK_EXAMPLES_DIR "/CONFIG.ini");
    EXPECT_EQ(service.m_strModel, "VOK-HF 650");
    EXPECT_EQ(service.m_strHisDate, "2026/09/02");
    EXPECT_EQ(service.m_strHisCause, "");
    EXPECT_EQ(service.m_strHisAction, "");
    EXPECT_EQ(service.m_strHospital, "");
}

}  // namespace
}  // namespace vok
