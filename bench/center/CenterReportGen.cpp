// Writes a fleet's report files into a folder, for filling a service
// center's store through `vok-center import`.
//
//   CenterReportGen FOLDER FIRST COUNT GENERATORS
//
// Writes reports FIRST to FIRST + COUNT - 1 of a fleet of GENERATORS.

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "FleetReports.h"
#include "platform/AtomicFile.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: CenterReportGen FOLDER FIRST COUNT GENERATORS\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const long first = std::atol(argv[2]);
    const long count = std::atol(argv[3]);
    const int generators = std::atoi(argv[4]);
    if (count < 0 || generators <= 0) {
        std::cerr << "CenterReportGen: COUNT >= 0 and GENERATORS > 0\n";
        return 2;
    }
    std::filesystem::create_directories(folder);
    vok::bench::FleetReports fleet(generators);
    for (long n = first; n < first + count; ++n) {
        const std::string path = (folder / fleet.Name(n)).string();
        const std::string text = fleet.Text(n);
        if (const vok::Status written = vok::AtomicFile::Write(path, text); !written) {
            std::cerr << "CenterReportGen: cannot write " << path << ": " << written.error()
                      << "\n";
            return 1;
        }
    }
    return 0;
}
