#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/Result.h"
#include "platform/ProfileFile.h"

namespace vok {

// The installation's definition file (CFG/VOK.DEFINE): texts for error codes
// ([ERROR] CODE_0X1A), console command codes ([COMMAND] COMMAND_07) and tube
// types ([TUBE] TUBE_12). Load it once per rendering so that one page sees
// the file as it was when the page was started. Its texts are installed
// configuration and reach the page as they are, markup included.
class DefinitionFile {
public:
    DefinitionFile() : DefinitionFile(ProfileFile()) {}

    // A missing file is no error: every text is then empty. Load gives empty
    // texts for a file that cannot be read as well; Open says why, naming
    // the file (a FIFO, a device, over 64 MiB, no permission).
    static DefinitionFile Load(const std::string& path);
    static Result<DefinitionFile> Open(const std::string& path);
    static DefinitionFile Parse(std::string text);

    // The value of the key built from keyFormat (a printf format with one int)
    // and the code, cut to 79 characters; "" when missing, "&nbsp;" for a
    // code outside 0 to 255.
    std::string LookupDefinition(std::string_view section, std::string_view keyFormat,
                                 int code) const;

    std::string GetErrorText(int code) const;
    std::string GetCommandText(int code) const;
    std::string GetTubeText(int code) const;

private:
    // The entry each code of one section's key format names, found by one
    // walk at load: a page asks for hundreds of codes.
    struct CodeIndex {
        std::string_view section;
        std::string_view keyFormat;
        std::size_t position = ProfileFile::npos;  // of the section in the file
        std::array<std::int32_t, 256> entry{};     // kNoEntry when the key is missing
    };
    static constexpr std::int32_t kNoEntry = -1;

    explicit DefinitionFile(ProfileFile profile);
    static void BuildIndex(const ProfileFile& profile, CodeIndex& index);

    ProfileFile m_profile;
    std::array<CodeIndex, 3> m_indexes;
};

}  // namespace vok
