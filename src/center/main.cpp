// vok-center: the service center. Receives the reports the site tools send,
// keeps and indexes them, and serves them to the service engineers.
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "center/CenterService.h"
#include "center/ConsoleAuth.h"
#include "center/HttpServer.h"
#include "center/ReportImporter.h"
#include "core/Version.h"
#include "platform/AtomicFile.h"
#include "platform/CommandLine.h"
#include "platform/RegularFile.h"

namespace {

namespace fs = std::filesystem;
using namespace vok;
using namespace vok::center;

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    "Usage: vok-center COMMAND [OPTIONS]\n"
    "The VOK service center: receives the reports that vok-diagnosis and\n"
    "`vok upload` send, keeps and indexes them, and serves them to console\n"
    "users.\n\n"
    "Commands:\n"
    "  serve [--listen ADDR:PORT] [--definitions FILE] [--max-report-size BYTES]\n"
    "        [--workers N]       runs the service (default 127.0.0.1:8080; port 0\n"
    "                            picks a free one); stops on SIGTERM or SIGINT\n"
    "  adduser NAME              adds or replaces a console user; the password is\n"
    "                            read from the terminal, or from stdin\n"
    "  deluser NAME              removes a console user and ends its sessions\n"
    "  import FILE.VOK...|FOLDER stores existing report files as if uploaded\n\n"
    "Every command takes:\n"
    "  --data-dir DIR    data folder (default $STATE_DIRECTORY under systemd,\n"
    "                    else $HOME/.local/share/vok-center)\n"
    "  --database URL    postgresql://USER@HOST/DB, postgresql:///DB?host=/socket/dir\n"
    "                    (default: SQLite file center.db in the data folder)\n\n"
    "Behind a TLS proxy on the same machine (the nginx example), the proxy's\n"
    "X-Forwarded-For names the client and X-Forwarded-Proto: https marks\n"
    "session cookies Secure.\n\n"
    "  vok-center --version   prints the program version\n";

int Usage(const std::string& why) {
    std::cerr << "vok-center: " << why << " (see 'vok-center --help')\n";
    return kExitUsage;
}

fs::path DefaultDataDir() {
    if (const char* state = std::getenv("STATE_DIRECTORY"); state != nullptr && *state != '\0') {
        const std::string first(state, std::string_view(state).find(':') == std::string_view::npos
                                           ? std::string_view(state).size()
                                           : std::string_view(state).find(':'));
        return first;
    }
    const char* home = std::getenv("HOME");
    return fs::path(home != nullptr && *home != '\0' ? home : ".") / ".local/share/vok-center";
}

constexpr const char* kInstalledDefinitions = "share/vok-center/VOK.DEFINE";

// Copies the example definitions into the data folder when it has none,
// through the program's one atomic write: never over or through a link.
void InstallDefinitions(const fs::path& target) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(target, ec))) {
        return;
    }
    // Installed beside the program (…/bin/vok-center, …/share/vok-center),
    // wherever the package put both; else the source tree of a build.
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    const fs::path installed = program.parent_path().parent_path() / kInstalledDefinitions;
    for (const fs::path& source : {installed, fs::path(VOK_CENTER_SOURCE_DEFINITIONS)}) {
        if (const Result<std::string> bytes = RegularFile::Read(source.string())) {
            (void)AtomicFile::Write(target.string(), *bytes);
            return;
        }
    }
}

struct Common {
    CenterConfig config;
    fs::path dataDir;
};

Result<Common> CommonOptions(const CommandLine& line, bool needDefinitions) {
    Common common;
    common.dataDir = line.Value("data-dir") ? fs::path(*line.Value("data-dir")) : DefaultDataDir();
    std::error_code ec;
    fs::create_directories(common.dataDir, ec);
    if (ec || !fs::is_directory(common.dataDir)) {
        return Error{"cannot use the data folder " + common.dataDir.string() + ": " +
                     (ec ? ec.message() : "not a folder")};
    }
    if (const auto database = line.Value("database")) {
        Result<DatabaseUrl> url = DatabaseUrl::Parse(*database);
        if (!url) {
            return Error{"--database: " + url.error()};
        }
        common.config.database = url.value();
    } else {
        common.config.database = DatabaseUrl::SqliteFile((common.dataDir / "center.db").string());
    }
    if (const auto definitions = line.Value("definitions")) {
        common.config.definitionsPath = *definitions;
    } else {
        const fs::path own = common.dataDir / "VOK.DEFINE";
        if (needDefinitions) {
            InstallDefinitions(own);
        }
        common.config.definitionsPath = own.string();
    }
    if (const auto size = line.Value("max-report-size")) {
        if (size->empty() || size->size() > 10 ||
            size->find_first_not_of("0123456789") != std::string::npos || std::stoull(*size) == 0) {
            return Error{"--max-report-size: not a number of bytes: " + *size};
        }
        common.config.maxReportBytes = std::stoull(*size);
    }
    return common;
}

const std::vector<OptionSpec> kOptions = {
    {"data-dir", OptionKind::Value},        {"database", OptionKind::Value},
    {"definitions", OptionKind::Value},     {"listen", OptionKind::Value},
    {"max-report-size", OptionKind::Value}, {"workers", OptionKind::Value},
};

int Serve(const CommandLine& line) {
    if (!line.Positional().empty()) {
        return Usage("serve takes no arguments");
    }
    Result<Common> common = CommonOptions(line, true);
    if (!common) {
        return Usage(common.error());
    }
    HttpServer::Options options;
    const std::string listen = line.Value("listen").value_or("127.0.0.1:8080");
    const std::size_t colon = listen.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == listen.size() ||
        listen.substr(colon + 1).find_first_not_of("0123456789") != std::string::npos ||
        listen.size() - colon - 1 > 5 || std::stoi(listen.substr(colon + 1)) > 65535) {
        return Usage("--listen wants ADDR:PORT, e.g. 127.0.0.1:8080 or [::1]:8080: " + listen);
    }
    options.host = listen.substr(0, colon);
    if (options.host.size() >= 2 && options.host.front() == '[' && options.host.back() == ']') {
        options.host = options.host.substr(1, options.host.size() - 2);
    }
    options.port = static_cast<std::uint16_t>(std::stoi(listen.substr(colon + 1)));
    if (const auto workers = line.Value("workers")) {
        if (workers->empty() || workers->size() > 3 ||
            workers->find_first_not_of("0123456789") != std::string::npos ||
            std::stoi(*workers) == 0) {
            return Usage("--workers wants a number from 1 to 999");
        }
        options.workers = static_cast<std::size_t>(std::stoi(*workers));
    }
    // The body carries the file plus the multipart frame and the file's path.
    options.limits.maxBodyBytes = common->config.maxReportBytes + std::size_t{64} * 1024;

    // Signals go to one thread that asks the server to stop.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    // Thousands of clients need thousands of descriptors; the soft limit is
    // often 1024.
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = std::min<rlim_t>(files.rlim_max, 65536);
        ::setrlimit(RLIMIT_NOFILE, &files);
    }

    CenterService service(common->config);
    {
        // Fails early on a database that cannot be opened or set up.
        Result<ReportStore*> store = service.ThreadStore();
        if (!store) {
            std::cerr << "vok-center: " << store.error() << "\n";
            return kExitFailure;
        }
        service.ReleaseThreadStore();
    }
    HttpServer server(options,
                      [&service](HttpRequest& request) { return service.Handle(request); });
    if (Status bound = server.Bind(); !bound) {
        std::cerr << "vok-center: " << bound.error() << "\n";
        return kExitFailure;
    }
    std::thread signalWaiter([&server, stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.Stop();
    });
    const bool v6 = options.host.find(':') != std::string::npos;
    std::cerr << "vok-center listening on http://" << (v6 ? "[" : "") << options.host
              << (v6 ? "]" : "") << ":" << server.Port() << std::endl;
    std::cerr << "vok-center: data in " << common->config.database.Describe() << ", definitions "
              << common->config.definitionsPath << std::endl;
    server.Run();
    // The signal is blocked everywhere: it ends the waiter's sigwait, not a thread.
    // NOLINTNEXTLINE(bugprone-bad-signal-to-kill-thread)
    pthread_kill(signalWaiter.native_handle(), SIGTERM);
    signalWaiter.join();
    std::cerr << "vok-center stopped\n";
    return kExitOk;
}

Result<std::string> ReadPassword(const std::string& user) {
    std::string password;
    if (::isatty(STDIN_FILENO) == 0) {
        if (!std::getline(std::cin, password) && password.empty()) {
            return Error{"no password on stdin"};
        }
        if (!password.empty() && password.back() == '\r') {
            password.pop_back();
        }
        return password;
    }
    termios saved{};
    ::tcgetattr(STDIN_FILENO, &saved);
    termios silent = saved;
    silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    std::string again;
    std::cerr << "Password for " << user << ": " << std::flush;
    std::getline(std::cin, password);
    std::cerr << "\nThe same again: " << std::flush;
    std::getline(std::cin, again);
    std::cerr << "\n";
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    if (password != again) {
        return Error{"the two passwords differ"};
    }
    return password;
}

int AddUser(const CommandLine& line, bool remove) {
    if (line.Positional().size() != 1) {
        return Usage(remove ? "deluser takes one user name" : "adduser takes one user name");
    }
    const std::string& name = line.Positional().front();
    if (!ConsoleAuth::ValidUserName(name)) {
        return Usage("a user name is 1 to 64 printable characters without blanks or ':'");
    }
    Result<Common> common = CommonOptions(line, false);
    if (!common) {
        return Usage(common.error());
    }
    CenterService service(common->config);
    Result<ReportStore*> store = service.ThreadStore();
    if (!store) {
        std::cerr << "vok-center: " << store.error() << "\n";
        return kExitFailure;
    }
    if (remove) {
        const Result<bool> removed = store.value()->DeleteUser(name);
        if (!removed) {
            std::cerr << "vok-center: " << removed.error() << "\n";
            return kExitFailure;
        }
        if (!removed.value()) {
            std::cerr << "vok-center: no user " << name << "\n";
            return kExitFailure;
        }
        std::cerr << "user " << name << " removed\n";
        return kExitOk;
    }
    const Result<std::string> password = ReadPassword(name);
    if (!password) {
        std::cerr << "vok-center: " << password.error() << "\n";
        return kExitFailure;
    }
    if (password.value().empty()) {
        std::cerr << "vok-center: an empty password is not accepted\n";
        return kExitFailure;
    }
    const Result<std::string> hash = ConsoleAuth::HashPassword(password.value());
    if (!hash) {
        std::cerr << "vok-center: " << hash.error() << "\n";
        return kExitFailure;
    }
    const Result<std::optional<std::string>> existing = store.value()->PasswordHash(name);
    if (Status put = store.value()->PutUser(name, hash.value()); !put) {
        std::cerr << "vok-center: " << put.error() << "\n";
        return kExitFailure;
    }
    std::cerr << "user " << name << (existing && existing.value() ? " replaced" : " added") << "\n";
    return kExitOk;
}

int Import(const CommandLine& line) {
    if (line.Positional().empty()) {
        return Usage("import wants report files or folders");
    }
    Result<Common> common = CommonOptions(line, true);
    if (!common) {
        return Usage(common.error());
    }
    CenterService service(common->config);
    if (Result<ReportStore*> store = service.ThreadStore(); !store) {
        std::cerr << "vok-center: " << store.error() << "\n";
        return kExitFailure;
    }
    auto lastReport = std::chrono::steady_clock::now();
    const auto progress = [&lastReport](std::size_t done, std::size_t all) {
        const auto now = std::chrono::steady_clock::now();
        if (done == all || now - lastReport >= std::chrono::seconds(1)) {
            lastReport = now;
            std::cerr << "import: " << done << " of " << all << " files\n";
        }
    };
    const ReportImporter::Summary summary =
        ReportImporter::Import(service, line.Positional(), progress);
    for (const ReportImporter::Rejection& rejection : summary.rejected) {
        std::cout << "rejected " << rejection.path << ": " << rejection.reason << "\n";
    }
    std::cout << summary.stored << " stored, " << summary.duplicates << " duplicate, "
              << summary.rejected.size() << " rejected\n";
    if (summary.storeFailed) {
        std::cerr << "vok-center: the database stopped answering; the import is incomplete\n";
        return kExitUsage;
    }
    return summary.rejected.empty() ? kExitOk : kExitFailure;
}

}  // namespace

// Only running out of memory throws here, and ending then is right.
int main(int argc, char** argv) {  // NOLINT(bugprone-exception-escape)
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr << kUsage;
        return kExitUsage;
    }
    const std::string command = args.front();
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return kExitOk;
    }
    if (command == "--version") {
        std::cout << "vok-center " << vok::kProgramVersion << "\n";
        return kExitOk;
    }
    args.erase(args.begin());
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return kExitOk;
        }
    }
    const Result<CommandLine> line = CommandLine::Parse(args, kOptions);
    if (!line) {
        return Usage(line.error());
    }
    if (command != "serve" && (line->Has("listen") || line->Has("workers"))) {
        return Usage("--listen and --workers are options of serve");
    }
    if (command == "serve") {
        return Serve(line.value());
    }
    if (command == "adduser" || command == "deluser") {
        return AddUser(line.value(), command == "deluser");
    }
    if (command == "import") {
        return Import(line.value());
    }
    return Usage("unknown command '" + command + "'");
}
