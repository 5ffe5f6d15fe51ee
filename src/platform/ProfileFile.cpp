#include "platform/ProfileFile.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

#include "platform/AsciiText.h"
#include "platform/RegularFile.h"

namespace vok {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
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

// FNV-1a over the lower-case name.
std::uint32_t HashIgnoreCase(std::string_view text) {
    constexpr std::uint32_t kOffsetBasis = 2166136261U;
    constexpr std::uint32_t kPrime = 16777619U;
    std::uint32_t hash = kOffsetBasis;
    for (char c : text) {
        hash = (hash ^ static_cast<unsigned char>(AsciiLower(c))) * kPrime;
    }
    return hash;
}

// The bytes that end a line or matter inside one: LF, CR, "=" and NUL.
bool IsMark(char c) {
    return c == '\n' || c == '\r' || c == '=' || c == '\0';
}

constexpr std::uint64_t kByteOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kByteHighs = 0x8080808080808080ULL;
constexpr int kByteBits = 8;

// The high bit of each byte of word that is zero; exact for the lowest such
// byte (a borrow may also mark bytes above it).
constexpr std::uint64_t ZeroBytes(std::uint64_t word) {
    return (word - kByteOnes) & ~word & kByteHighs;
}

// The position of the first mark at or after pos, size when none. Eight
// bytes at a time: most of a profile's bytes are plain text.
std::size_t NextMark(const char* data, std::size_t size, std::size_t pos) {
    if constexpr (std::endian::native == std::endian::little) {
        while (pos + sizeof(std::uint64_t) <= size) {
            std::uint64_t word = 0;
            std::memcpy(&word, data + pos, sizeof word);
            const std::uint64_t marks = ZeroBytes(word ^ (kByteOnes * '\n')) |
                                        ZeroBytes(word ^ (kByteOnes * '\r')) |
                                        ZeroBytes(word ^ (kByteOnes * '=')) | ZeroBytes(word);
            if (marks != 0) {
                return pos + static_cast<std::size_t>(std::countr_zero(marks) / kByteBits);
            }
            pos += sizeof word;
        }
    }
    while (pos < size && !IsMark(data[pos])) {
        ++pos;
    }
    return pos;
}

}  // namespace

ProfileFile ProfileFile::Load(const std::string& path) {
    Result<ProfileFile> profile = OpenIfPresent(path);
    return profile ? std::move(profile).value() : ProfileFile();
}

Result<ProfileFile> ProfileFile::Open(const std::string& path) {
    Result<std::string> text = RegularFile::Read(path);
    if (!text) {
        return Error{text.error()};
    }
    return Parse(std::move(text).value());
}

Result<ProfileFile> ProfileFile::OpenIfPresent(const std::string& path) {
    Result<std::optional<std::string>> text = RegularFile::ReadIfPresent(path);
    if (!text) {
        return Error{text.error()};
    }
    if (!text->has_value()) {
        return ProfileFile();
    }
    return Parse(std::move(*std::move(text).value()));
}

ProfileFile ProfileFile::Parse(std::string text) {
    ProfileFile profile;
    // Offsets are 32 bits; no profile comes near 4 GiB, and one that does is
    // read as far as they reach.
    if (text.size() > kMaxText) {
        text.resize(kMaxText);
    }
    profile.m_text = std::move(text);
    // An entry line holds at least a few bytes ("K=1" and its line end); this
    // is room for all of a report file's without counting its lines first.
    constexpr std::size_t kBytesPerEntry = 8;
    profile.m_entries.reserve(profile.m_text.size() / kBytesPerEntry + 1);
    const char* const data = profile.m_text.data();
    const std::size_t size = profile.m_text.size();
    std::size_t current = kNoSection;
    std::size_t pos = 0;
    while (pos <= size) {
        std::size_t equals = std::string::npos;
        bool hasNul = false;
        std::size_t i = pos;
        for (;;) {
            i = NextMark(data, size, i);
            if (i == size || data[i] == '\n' || data[i] == '\r') {
                break;
            }
            if (data[i] == '=') {
                if (equals == std::string::npos) {
                    equals = i;
                }
            } else {
                hasNul = true;
            }
            ++i;
        }
        profile.ParseLine(pos, i, equals, hasNul, current);
        // CR LF is one line end (an empty line between would be skipped anyway).
        pos = (i + 1 < size && data[i] == '\r' && data[i + 1] == '\n') ? i + 2 : i + 1;
    }
    return profile;
}

void ProfileFile::ParseLine(std::size_t begin, std::size_t end, std::size_t equals, bool hasNul,
                            std::size_t& current) {
    Trim(m_text, begin, end);
    if (begin == end) {
        return;
    }
    if (m_text[begin] == '[') {
        std::size_t nameBegin = begin + 1;
        const std::size_t close = std::string_view(m_text.data() + begin, end - begin).find(']', 1);
        std::size_t nameEnd = close == std::string_view::npos ? end : begin + close;
        Trim(m_text, nameBegin, nameEnd);
        const Span name = MakeSpan(nameBegin, nameEnd);
        const std::uint32_t hash = HashIgnoreCase(View(name));
        if (Lookup(View(name), hash) == npos) {
            current = m_sections.size();
            m_sections.push_back({name, static_cast<std::uint32_t>(m_entries.size()), 0, hash});
            AddToIndex(current);
        } else {
            // Lookups stop at the first section of a name; a repeat is dead text.
            current = kNoSection;
        }
        return;
    }
    if (current == kNoSection || equals == std::string::npos) {
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
    if (hasNul) {
        // The readers hand values on as C strings: a NUL ends the text.
        const std::size_t nul =
            std::string_view(m_text.data() + valueBegin, valueEnd - valueBegin).find('\0');
        if (nul != std::string_view::npos) {
            valueEnd = valueBegin + nul;
        }
    }
    m_entries.push_back({MakeSpan(keyBegin, keyEnd), MakeSpan(valueBegin, valueEnd)});
    ++m_sections[current].count;
}

std::size_t ProfileFile::Lookup(std::string_view name, std::uint32_t hash) const {
    if (m_sectionIndex.empty()) {
        return npos;
    }
    const std::size_t mask = m_sectionIndex.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t entry = m_sectionIndex[slot];
        if (entry == 0) {
            return npos;
        }
        const Section& section = m_sections[entry - 1];
        if (section.hash == hash && EqualsIgnoreCase(View(section.name), name)) {
            return entry - 1;
        }
    }
}

void ProfileFile::AddToIndex(std::size_t section) {
    constexpr std::size_t kFirstIndexSize = 16;
    if (2 * m_sections.size() > m_sectionIndex.size()) {
        m_sectionIndex.assign(std::max(kFirstIndexSize, 2 * m_sectionIndex.size()), 0);
        for (std::size_t s = 0; s + 1 < m_sections.size(); ++s) {
            AddToIndex(s);
        }
    }
    const std::size_t mask = m_sectionIndex.size() - 1;
    std::size_t slot = m_sections[section].hash & mask;
    while (m_sectionIndex[slot] != 0) {
        slot = (slot + 1) & mask;
    }
    m_sectionIndex[slot] = static_cast<std::uint32_t>(section + 1);
}

std::size_t ProfileFile::FindSection(std::string_view section) const {
    return Lookup(section, HashIgnoreCase(section));
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
    return View(m_entries[m_sections[section].first + entry].value);
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
