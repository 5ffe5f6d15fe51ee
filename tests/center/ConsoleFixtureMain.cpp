// Serves the console's demo fleet for the browser test and the screenshots:
// `center_console_fixture [--clean]` imports the fleet into a throwaway
// center on a free loopback port, prints its address and serves until its
// standard input ends. --clean leaves out the generator that is markup.
#include <cstdlib>
#include <iostream>
#include <limits>
#include <string_view>

#include "CenterTestSupport.h"

int main(int argc, char** argv) {
    using namespace vok::center::test;
    const bool clean = argc == 2 && std::string_view(argv[1]) == "--clean";
    CenterProcess center;
    int n = 0;
    for (const Visit& visit : DemoFleet()) {
        if (!clean || visit.serial.find('<') == std::string::npos) {
            center.Dir().Write("fleet/report-" + std::to_string(++n) + ".VOK", VisitBytes(visit));
        }
    }
    const std::string import = vok::test::Quote(VOK_CENTER_PATH) + " import " +
                               vok::test::Quote(center.Dir().File("fleet")) + " --data-dir " +
                               vok::test::Quote(center.Dir().File("center")) + " >/dev/null 2>&1";
    if (!center.UserAdded() || std::system(import.c_str()) != 0 || !center.Start()) {
        std::cerr << "the demo center did not start\n" << center.Log();
        return 1;
    }
    std::cout << "http://" << center.Server() << std::endl;
    std::cin.ignore(std::numeric_limits<std::streamsize>::max());
    return 0;
}
