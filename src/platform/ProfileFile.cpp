#include "platform/ProfileFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cstring>

namespace vok {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerCopy(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), Lower);
    return out;
}

// Compared from the end: numbered keys (PARAM01 ... PARAM10) differ there,
// so a lookup among them rejects most candidates after one character.
bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = a.size(); i > 0; --i) {
        if (Lower(a[i - 1]) != Lower(b[i - 1])) {
            return false;
        }
    }
    return true;
}

// Narrows [begin, end) of text to its part without blanks at either end.
inline void Trim(const std::string& text, std::size_t& begin, std::size_t& end) {
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

constexpr std::size_t kMaxText = UINT32_MAX;

}  // namespace

ProfileFile ProfileFile::Load(const std::string& path) {
    Result<ProfileFile> profile = Open(path);
    return profile ? std::move(profile).value() : ProfileFile();
}

Result<ProfileFile> ProfileFile::Open(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return Error{std::strerror(errno)};
    }
    // One read of the whole file where its size is known; in chunks for
    // anything that grows or has no size (a pipe, a file being written).
    std::string text;
    struct stat info {};
    if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        text.resize(static_cast<std::size_t>(info.st_size));
        text.resize(std::fread(text.data(), 1, text.size(), file));
    }
    constexpr std::size_t kChunk = 64 * 1024;
    char chunk[kChunk];
    std::size_t got = 0;
    while (!std::feof(file) && !std::ferror(file) &&
           (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        text.append(chunk, got);
    }
    const bool failed = std::ferror(file) != 0;
    const int reason = errno;
    std::fclose(file);
    if (failed) {
        return Error{std::strerror(reason)};
    }
    return Parse(std::move(text));
}

ProfileFile ProfileFile::Parse(std::string text) {
    ProfileFile profile;
    // Offsets are 32 bits; no profile comes near 4 GiB, and one that does is
    // read as far as they reach.
    if (text.size() > kMaxText) {
        text.resize(kMaxText);
    }
    profile.m_text = std::move(text);
    // Room for one entry per line, so that the table is allocated once.
    profile.m_entries.reserve(
        static_cast<std::size_t>(std::count(profile.m_text.begin(), profile.m_text.end(), '\n')) + 1);
    const char* const data = profile.m_text.data();
    const std::size_t size = profile.m_text.size();
    std::size_t current = kNoSection;
    std::size_t lineBegin = 0;
    while (lineBegin <= size) {
        // One pass finds the line's end and its first "=".
        std::size_t lineEnd = lineBegin;
        std::size_t equals = std::string::npos;
        for (; lineEnd < size; ++lineEnd) {
            const char c = data[lineEnd];
            if (c == '\n' || c == '\r') {
                break;
            }
            if (c == '=' && equals == std::string::npos) {
                equals = lineEnd;
            }
        }
        profile.ParseLine(lineBegin, lineEnd, equals, current);
        lineBegin = lineEnd + 1;
    }
    return profile;
}

void ProfileFile::ParseLine(std::size_t begin, std::size_t end, std::size_t equals,
                            std::size_t& current) {
    Trim(m_text, begin, end);
    if (begin == end) {
        return;
    }
    const std::string_view line(m_text.data() + begin, end - begin);
    if (line.front() == '[') {
        std::size_t nameBegin = begin + 1;
        const std::size_t close = line.find(']', 1);
        std::size_t nameEnd = close == std::string_view::npos ? end : begin + close;
        Trim(m_text, nameBegin, nameEnd);
        const Span name = MakeSpan(nameBegin, nameEnd);
        const bool inserted =
            m_sectionIndex.try_emplace(LowerCopy(View(name)), m_sections.size()).second;
        if (inserted) {
            current = m_sections.size();
            m_sections.push_back({name, static_cast<std::uint32_t>(m_entries.size()), 0});
        } else {
            // Lookups stop at the first section of a name; a repeat is dead text.
            current = kNoSection;
        }
        return;
    }
    if (current == kNoSection) {
        return;
    }
    if (equals == std::string::npos) {
        return;
    }
    std::size_t keyBegin = begin;
    std::size_t keyEnd = equals;
    Trim(m_text, keyBegin, keyEnd);
    std::size_t valueBegin = equals + 1;
    std::size_t valueEnd = end;
    Trim(m_text, valueBegin, valueEnd);
    if (valueEnd - valueBegin >= 2 && IsQuote(m_text[valueBegin]) &&
        m_text[valueEnd - 1] == m_text[valueBegin]) {
        ++valueBegin;
        --valueEnd;
    }
    m_entries.push_back({MakeSpan(keyBegin, keyEnd), MakeSpan(valueBegin, valueEnd)});
    ++m_sections[current].count;
}

std::size_t ProfileFile::FindSection(std::string_view section) const {
    if (m_sections.empty()) {
        return npos;
    }
    const auto it = m_sectionIndex.find(LowerCopy(section));
    return it == m_sectionIndex.end() ? npos : it->second;
}

bool ProfileFile::Find(std::string_view section, std::string_view key,
                       std::string_view& value) const {
    return FindInSection(FindSection(section), key, value);
}

bool ProfileFile::FindInSection(std::size_t section, std::string_view key,
                                std::string_view& value) const {
    if (section >= m_sections.size()) {
        return false;
    }
    const Section& s = m_sections[section];
    for (std::size_t i = 0; i < s.count; ++i) {
        if (EqualsIgnoreCase(View(m_entries[s.first + i].key), key)) {
            value = EntryValue(section, i);
            return true;
        }
    }
    return false;
}

std::string_view ProfileFile::SectionName(std::size_t section) const {
    return View(m_sections[section].name);
}

std::size_t ProfileFile::EntryCount(std::size_t section) const {
    return m_sections[section].count;
}

std::string_view ProfileFile::EntryKey(std::size_t section, std::size_t entry) const {
    return View(m_entries[m_sections[section].first + entry].key);
}

std::string_view ProfileFile::EntryValue(std::size_t section, std::size_t entry) const {
    const std::string_view value = View(m_entries[m_sections[section].first + entry].value);
    // The readers hand values on as C strings: a NUL ends the text.
    return value.substr(0, value.find('\0'));
}

std::string ProfileFile::Get(std::string_view section, std::string_view key,
                             std::string_view defaultValue, std::size_t bufferSize) const {
    std::string_view value;
    if (!Find(section, key, value)) {
        value = defaultValue;
    }
    const std::size_t limit = bufferSize == 0 ? 0 : bufferSize - 1;
    return std::string(value.substr(0, limit));
}

std::string ProfileFile::Read(std::string_view section, std::string_view key,
                              std::string_view defaultValue, std::size_t bufferSize,
                              const std::string& path) {
    return Load(path).Get(section, key, defaultValue, bufferSize);
}

}  // namespace vok
