#pragma once

#include <gtest/gtest.h>

namespace vok::test {

// The page's no-value text.
inline constexpr const char* kNoText = "&nbsp;";

// Checks decode(code) == text for each code, text pair that follows.
template <class Decode>
void ExpectTexts(const Decode&) {}
template <class Decode, class... Rest>
void ExpectTexts(const Decode& decode, long long code, const char* text, Rest... rest) {
    EXPECT_EQ(decode(static_cast<int>(code)), text) << "code " << code;
    ExpectTexts(decode, rest...);
}

}  // namespace vok::test
