#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/Result.h"

namespace vok {

// The report files' folder inside the data folder.
inline constexpr std::string_view kReportFolderName = "REPORT";

// The folder that holds the site configuration, the definition file, the
// error sound and the report files. $HOME/VOK/DIAGNOSIS unless a program is
// given --data-dir.
class DataFolder {
public:
    explicit DataFolder(std::filesystem::path root);

    // $HOME/VOK/DIAGNOSIS; the working folder's VOK/DIAGNOSIS without HOME.
    static DataFolder Default();

    const std::filesystem::path& Root() const { return m_root; }
    std::filesystem::path ConfigFile() const;
    std::filesystem::path DefineFile() const;
    std::filesystem::path ReportFolder() const;
    std::filesystem::path ErrorSoundFile() const;

    // The data folder must exist: a mistyped --data-dir is refused, never
    // created.
    Status CheckRoot() const;
    // Creates the report folder when missing, inside a data folder that
    // exists.
    Status EnsureReportFolder() const;

private:
    std::filesystem::path m_root;
};

}  // namespace vok
