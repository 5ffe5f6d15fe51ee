#pragma once

// Pieces of the decoded values' texts that the decoders, the report reader and
// the page share.

#include <string_view>

namespace vok {

inline constexpr std::string_view kNbsp = "&nbsp;";
inline constexpr std::string_view kTimesSuffix = " Times";
inline constexpr std::string_view kCentury = "20";
inline constexpr char kDateSeparator = '/';
inline constexpr char kTimeSeparator = ':';

}  // namespace vok
