// Writes the console's demo fleet as report files into a folder, for the
// browser test and the screenshots: `center_console_fixture [--clean] DIR`;
// --clean leaves out the generator whose site strings are markup.
#include <iostream>

#include "ReportSamples.h"
#include "platform/AtomicFile.h"

int main(int argc, char** argv) {
    const bool clean = argc == 3 && std::string_view(argv[1]) == "--clean";
    if (argc != 2 && !clean) {
        std::cerr << "usage: center_console_fixture [--clean] DIR\n";
        return 2;
    }
    const std::filesystem::path folder = argv[argc - 1];
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    int n = 0;
    for (const auto& visit : vok::center::test::DemoFleet()) {
        if (clean && visit.serial.find('<') != std::string::npos) {
            continue;
        }
        const std::filesystem::path file = folder / ("report-" + std::to_string(++n) + ".VOK");
        const vok::Status written =
            vok::AtomicFile::Write(file.string(), vok::center::test::VisitBytes(visit));
        if (!written) {
            std::cerr << "cannot write " << file << ": " << written.error() << "\n";
            return 1;
        }
    }
    std::cout << n << " reports in " << folder.string() << "\n";
    return 0;
}
