#include "report/SiteInfo.h"

namespace vok {

namespace {

template <typename Site>
auto& FieldOf(Site& site, std::size_t n) {
    // Same order as kSiteKeys.
    switch (n) {
        case 0:
            return site.m_strManufacture;
        case 1:
            return site.m_strModel;
        case 2:
            return site.m_strInstallDate;
        case 3:
            return site.m_strSystemSerial;
        case 4:
            return site.m_strDescription;
        case 5:
            return site.m_strEngName;
        case 6:
            return site.m_strEngEmail;
        case 7:
            return site.m_strEngPhone;
        case 8:
            return site.m_strEngFax;
        case 9:
            return site.m_strHisDate;
        case 10:
            return site.m_strHisCause;
        case 11:
            return site.m_strHisAction;
        case 12:
            return site.m_strHospital;
        case 13:
            return site.m_strAddress;
        case 14:
            return site.m_strUserName;
        case 15:
            return site.m_strUserEmail;
        case 16:
            return site.m_strUserPhone;
        case 17:
            return site.m_strUserFax;
        default:
            return site.m_strComment;
    }
}

}  // namespace

std::string& SiteInfo::Field(std::size_t n) {
    return FieldOf(*this, n);
}

const std::string& SiteInfo::Field(std::size_t n) const {
    return FieldOf(*this, n);
}

}  // namespace vok
