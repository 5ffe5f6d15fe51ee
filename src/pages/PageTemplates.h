#pragma once

// What the pages' dialog templates share: page and control ids, places in
// dialog units, button texts.

#include <string_view>

#include "wizard/DialogUnits.h"

namespace vok {

// One control of a form template: id (-1 for a static), text, place.
struct DlgControl {
    int id;
    std::string_view text;
    DlgRect rect;
};

// The pages' template ids.
inline constexpr int kIdStartPage = 129;
inline constexpr int kIdProgressPage = 130;
inline constexpr int kIdUserPage = 131;
inline constexpr int kIdServicePage = 132;
inline constexpr int kIdCompletionPage = 133;
inline constexpr int kIdErrorPage = 134;

// Control ids that more than one page uses.
inline constexpr int kIdcPanel = 1001;
inline constexpr int kIdcHomepage = 1002;
inline constexpr int kIdcExit = 1005;
inline constexpr int kIdcNext = 1011;
inline constexpr int kIdcName = 1016;
inline constexpr int kIdcEmail = 1017;
inline constexpr int kIdcFax = 1019;

// Places on the pages (300 x 250 dialog units) and the buttons' texts.
inline constexpr DlgRect kPanelRect{7, 7, 286, 191};
inline constexpr DlgRect kButton1Rect{7, 221, 70, 22};    // Homepage
inline constexpr DlgRect kButton2Rect{106, 221, 50, 22};  // Load, Skip, Back
inline constexpr DlgRect kButton3Rect{176, 221, 50, 22};  // Start, Next, Report
inline constexpr DlgRect kButton4Rect{243, 221, 50, 22};  // Exit
inline constexpr DlgRect kFormGroupRect{7, 7, 286, 206};
inline constexpr std::string_view kHomepageText = "Homepage";
inline constexpr std::string_view kExitText = "Exit";
inline constexpr std::string_view kNextText = "Next";

// The maker's homepage, opened by the pages' Homepage buttons.
inline constexpr std::string_view kHomepageUrl = "http://www.vok.example.com/";

}  // namespace vok
