#include "platform/DataFolder.h"

#include <cstdlib>
#include <system_error>

namespace vok {

namespace {

constexpr std::string_view kDataFolderUnderHome = "VOK/DIAGNOSIS";
constexpr std::string_view kConfigFileName = "CONFIG.ini";
constexpr std::string_view kDefineFileName = "CFG/VOK.DEFINE";
constexpr std::string_view kErrorSoundFileName = "ERROR.dll";

}  // namespace

DataFolder::DataFolder(std::filesystem::path root) : m_root(std::move(root)) {}

DataFolder DataFolder::Default() {
    const char* home = std::getenv("HOME");
    std::filesystem::path base = (home != nullptr && *home != '\0') ? home : ".";
    return DataFolder(base / kDataFolderUnderHome);
}

std::filesystem::path DataFolder::ConfigFile() const {
    return m_root / kConfigFileName;
}

std::filesystem::path DataFolder::DefineFile() const {
    return m_root / kDefineFileName;
}

std::filesystem::path DataFolder::ReportFolder() const {
    return m_root / kReportFolderName;
}

std::filesystem::path DataFolder::ErrorSoundFile() const {
    return m_root / kErrorSoundFileName;
}

Status DataFolder::CheckRoot() const {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(m_root, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        return Error{"The data folder " + m_root.string() + " does not exist"};
    }
    if (ec) {
        return Error{"Cannot use the data folder " + m_root.string() + ": " + ec.message()};
    }
    if (!std::filesystem::is_directory(status)) {
        return Error{"The data folder " + m_root.string() + " is not a folder"};
    }
    return Done{};
}

Status DataFolder::EnsureReportFolder() const {
    if (Status root = CheckRoot(); !root) {
        return root;
    }
    std::error_code ec;
    const std::filesystem::path folder = ReportFolder();
    std::filesystem::create_directory(folder, ec);
    if (ec) {
        return Error{"Cannot create the report folder " + folder.string() + ": " + ec.message()};
    }
    if (!std::filesystem::is_directory(folder, ec)) {
        return Error{"The report folder " + folder.string() + " is not a folder"};
    }
    return Done{};
}

}  // namespace vok
