#pragma once

#include <string>

namespace vok {

// Turns the coded bytes of the error log (HT_INFO records 113 to 212) and of
// the protocol log (CMD_INFO records) into cell texts. Every argument is a
// byte zero-extended in an int; codes outside a list give "&nbsp;". The
// texts are the program's own and go into the page as they are.
class LogDecoder {
public:
    // Packed BCD, no range test: "20%02d/%02d/%02d" and "%02d:%02d:%02d".
    static std::string GetLogDateText(int year, int month, int day);
    static std::string GetLogTimeText(int hour, int minute, int second);
    static std::string GetExposureTimeText(int code);
    static std::string GetLogBuckyText(int code);
    // The imaging mode of the first set bit in the order 0, 2, 3, 5, 6.
    static std::string GetExtDeviceText(int bits);
    // The highest of bits 0 to 2 wins; 0 is "NO USE"; other bits alone give "".
    static std::string GetAecScreenText(int bits);
    // The left, centre and right chambers from bits 0, 1, 2: "L(O),C(X),R(O)".
    static std::string GetAecFieldMapText(int bits);
    // Code 10 is "-8", 18 is "0", 26 is "+8".
    static std::string GetAecDensityText(int code);
    // The anatomical program, names filled with blanks to 24 characters.
    static std::string GetAprText(int code);
    // "%02X", or "&nbsp;" for 255.
    static std::string GetHexByteText(int value);
};

}  // namespace vok
