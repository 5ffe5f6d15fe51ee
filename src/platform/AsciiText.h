#pragma once

// Case-insensitive comparison the way the profile files are read: only the
// ASCII letters fold, so bytes of any code page compare as they are.

#include <cstddef>
#include <string_view>

namespace vok {

inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compared from the end: numbered keys (PARAM01 ... PARAM10, HT_INFO_001 ...)
// differ there, so a lookup among them rejects most candidates at once.
inline bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = a.size(); i > 0; --i) {
        if (AsciiLower(a[i - 1]) != AsciiLower(b[i - 1])) {
            return false;
        }
    }
    return true;
}

// Blanks (spaces and tabs) cut from both ends, as header and profile values are.
inline std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

inline bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace vok
