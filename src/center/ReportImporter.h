#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "center/CenterService.h"

namespace vok::center {

// Brings existing report files into the center exactly as uploads would
// arrive: the same check, index and store (CenterService::Receive), with
// "import" as the sender. Folders are walked in name order, recursively;
// symbolic links are not followed into folders.
class ReportImporter {
public:
    struct Rejection {
        std::string path;
        std::string reason;
    };
    struct Summary {
        std::int64_t stored = 0;
        std::int64_t duplicates = 0;
        std::vector<Rejection> rejected;
        bool storeFailed = false;  // the database stopped answering; the rest was not tried
    };
    // Called now and then with (files done, files in all).
    using Progress = std::function<void(std::size_t, std::size_t)>;

    static Summary Import(CenterService& service, const std::vector<std::string>& paths,
                          const Progress& progress);
};

}  // namespace vok::center
