// Writes the console's demo fleet as report files into a folder, for the
// browser test and the screenshots: `center_console_fixture DIR`.
#include <fstream>
#include <iostream>

#include "ConsoleFixtures.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: center_console_fixture DIR\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    int n = 0;
    for (const auto& visit : vok::center::test::DemoFleet()) {
        const std::filesystem::path file = folder / ("report-" + std::to_string(++n) + ".VOK");
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << vok::center::test::VisitBytes(visit);
        if (!out.flush()) {
            std::cerr << "cannot write " << file << "\n";
            return 1;
        }
    }
    std::cout << n << " reports in " << folder.string() << "\n";
    return 0;
}
