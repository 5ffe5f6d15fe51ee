#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Result.h"

namespace vok {

// Buffer sizes the readers pass; a value keeps at most size - 1 characters.
inline constexpr std::size_t kLongValueSize = 255;
inline constexpr std::size_t kShortValueSize = 80;

// An INI ("profile") file parsed once, answering lookups the way the
// system's readers expect: section and key names match without regard to
// case, the first matching key of the first matching section wins, the value
// is the text after the first "=" with blanks trimmed and one pair of
// enclosing quotes removed, the default stands in for anything missing, and
// at most size - 1 characters come back.
//
// A reading operation (one site load, one report read, one definition
// lookup) loads the file once, so it sees the file as it was when it began.
class ProfileFile {
public:
    ProfileFile() = default;

    // Every read is bounded and never blocks (see RegularFile): a FIFO, a
    // device or a file over 64 MiB is not read.
    //
    // A missing or unreadable file gives an empty profile: every lookup
    // returns its default.
    static ProfileFile Load(const std::string& path);
    // The same, but a file that cannot be read is an error with its reason.
    static Result<ProfileFile> Open(const std::string& path);
    // A missing file is an empty profile; any other failure is an error.
    static Result<ProfileFile> OpenIfPresent(const std::string& path);
    static ProfileFile Parse(std::string text);

    std::string Get(std::string_view section, std::string_view key, std::string_view defaultValue,
                    std::size_t bufferSize) const;

    // The value as stored, without cut or default; false when the section or
    // key is missing. Hot paths use it to avoid a copy.
    bool Find(std::string_view section, std::string_view key, std::string_view& value) const;

    // A section's position for repeated lookups in it; npos when missing.
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    std::size_t FindSection(std::string_view section) const;
    bool FindInSection(std::size_t section, std::string_view key, std::string_view& value) const;

    // One lookup with its own read of the file.
    static std::string Read(std::string_view section, std::string_view key,
                            std::string_view defaultValue, std::size_t bufferSize,
                            const std::string& path);

    // Sections in file order (a repeated name only once, as lookups see it)
    // and their entries in file order, for readers that walk a whole file
    // once instead of asking key by key.
    std::size_t SectionCount() const { return m_sections.size(); }
    std::string_view SectionName(std::size_t section) const;
    std::size_t EntryCount(std::size_t section) const;
    std::string_view EntryKey(std::size_t section, std::size_t entry) const;
    // As Find gives it: cut at a NUL.
    std::string_view EntryValue(std::size_t section, std::size_t entry) const;

private:
    // Offsets into m_text, so that moving the profile keeps them valid;
    // 32 bits keep a report file's 4,400 entries small and cache-friendly.
    struct Span {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };
    struct Entry {
        Span key;
        Span value;
    };
    // A section's entries are one run of m_entries: a section's lines follow
    // its header, and a repeated header starts dead text.
    struct Section {
        Span name;
        std::uint32_t first = 0;
        std::uint32_t count = 0;
        std::uint32_t hash = 0;  // of the name without regard to case
    };

    std::string_view View(Span span) const { return {m_text.data() + span.offset, span.length}; }
    static Span MakeSpan(std::size_t begin, std::size_t end) {
        return {static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end - begin)};
    }
    static constexpr std::size_t kNoSection = static_cast<std::size_t>(-1);
    // The line [begin, end), its first "=" at equals (npos when none).
    void ParseLine(std::size_t begin, std::size_t end, std::size_t equals, bool hasNul,
                   std::size_t& current);
    // The section of that name and hash, or npos.
    std::size_t Lookup(std::string_view name, std::uint32_t hash) const;
    void AddToIndex(std::size_t section);

    std::string m_text;
    std::vector<Section> m_sections;
    std::vector<Entry> m_entries;
    // Open addressing over section positions + 1 (0 = free), a power of two
    // long and never more than half full.
    std::vector<std::uint32_t> m_sectionIndex;
};

}  // namespace vok
