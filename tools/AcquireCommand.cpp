#include "AcquireCommand.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <string>

#include "core/DiagnosisRecord.h"
#include "core/UserMessages.h"
#include "link/AcquisitionEngine.h"
#include "link/LinkFactory.h"
#include "platform/CommandLine.h"
#include "platform/DataFolder.h"
#include "report/ReportFileWriter.h"
#include "report/SiteConfig.h"

namespace vok::tools {

namespace {

constexpr std::chrono::seconds kAcquireDefaultTimeout{120};
constexpr int kProgressBarWidth = 30;  // characters of each bar of vok acquire

constexpr std::string_view kName = "acquire";
constexpr std::string_view kUsage =
    "Usage: vok acquire [--device PATH | --simulate[=SCENARIO]] [--data-dir DIR] "
    "[--timeout SECONDS]\n"
    "Runs one diagnosis: receives the generator's system information and logs,\n"
    "writes the report file into REPORT/ of the data folder and prints its path.\n\n"
    "  --device PATH         a serial device or pseudo-terminal (e.g. from 'vok console')\n"
    "  --simulate[=SCENARIO] the built-in simulated console: full (default), partial,\n"
    "                        noisy, stall or silent\n"
    "  --data-dir DIR        the data folder (default $HOME/VOK/DIAGNOSIS)\n"
    "  --timeout SECONDS     how long to wait for the end of the log (default 120,\n"
    "                        at most 86400: one day)\n\n"
    "Without --device or --simulate the first FTDI device is used. The data folder\n"
    "must exist; without its CONFIG.ini the report's site fields are empty.\n"
    "Exit status: 0 report written, 2 link or file unusable, 3 acquisition incomplete.";

// Status lines and progress on stderr: a bar redrawn in place on a
// terminal, a plain line at each quarter otherwise.
class ConsoleProgress : public AcquisitionObserver {
public:
    explicit ConsoleProgress(bool live) : m_live(live) {}

    void AddStatusLine(const std::string& line) override {
        std::lock_guard lock(m_mutex);
        ClearBar();
        std::cerr << "  " << line << "\n";
        DrawBar();
    }
    void SetSystemProgress(int position) override {
        std::lock_guard lock(m_mutex);
        Update(m_system, position, static_cast<int>(kHtRecordCount), "System information");
    }
    void SetLogProgress(int position) override {
        std::lock_guard lock(m_mutex);
        Update(m_log, position, static_cast<int>(kCmdRecordCount), "System log");
    }
    void Finished(AcquisitionOutcome outcome, const std::string&) override {
        if (outcome == AcquisitionOutcome::EnableFailed) {
            std::lock_guard lock(m_mutex);
            ClearBar();
            std::cerr << kMsgCannotEnable << "\n";
        }
    }

    // Leaves the terminal's line clean before the final messages.
    void Finish() {
        std::lock_guard lock(m_mutex);
        if (m_live && m_drawn) {
            std::cerr << "\n";
            m_drawn = false;
        }
    }

private:
    void Update(int& value, int position, int total, const char* what) {
        const int before = value * 4 / total;
        value = position;
        if (m_live) {
            DrawBar();
        } else if (position * 4 / total > before) {
            std::cerr << "  " << what << ": " << position << " of " << total << " records\n";
        }
    }
    static std::string Bar(int value, int total) {
        const int filled = std::min(value, total) * kProgressBarWidth / total;
        // Filled in place: "[" + std::string(...) trips g++ 12's bogus
        // -Wrestrict at -O3.
        std::string bar(kProgressBarWidth + 2, '.');
        bar.front() = '[';
        bar.back() = ']';
        std::fill_n(bar.begin() + 1, filled, '#');
        return bar;
    }
    void DrawBar() {
        if (!m_live) {
            return;
        }
        const int ht = static_cast<int>(kHtRecordCount);
        const int cmd = static_cast<int>(kCmdRecordCount);
        std::cerr << "\r  System " << Bar(m_system, ht) << " " << m_system << "/" << ht << "  Log "
                  << Bar(m_log, cmd) << " " << m_log << "/" << cmd << std::flush;
        m_drawn = true;
    }
    void ClearBar() {
        if (m_live && m_drawn) {
            std::cerr << "\r\033[K";
        }
    }

    std::mutex m_mutex;
    bool m_live;
    bool m_drawn = false;
    int m_system = 0;
    int m_log = 0;
};

// A wait longer than a day is a typing mistake, and far longer ones overflow
// the clock's deadline arithmetic.
constexpr std::chrono::seconds kMaxTimeout{86400};

Result<std::chrono::seconds> ParseTimeout(const CommandLine& line) {
    const std::optional<std::string> text = line.Value("timeout");
    if (!text) {
        return std::chrono::seconds(kAcquireDefaultTimeout);
    }
    long long seconds = 0;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), seconds);
    if (ec != std::errc() || end != text->data() + text->size() || seconds <= 0 ||
        seconds > kMaxTimeout.count()) {
        return Error{"--timeout needs a whole number of seconds from 1 to " +
                     std::to_string(kMaxTimeout.count()) + " (one day)"};
    }
    return std::chrono::seconds(seconds);
}

// The site information as loaded for the report. A missing CONFIG.ini is no
// error, but the user hears that the site fields will be empty; one that is
// there and cannot be read stops the run before the generator is asked.
Result<SiteInfo> LoadSite(const DataFolder& folder) {
    const std::string config = folder.ConfigFile().string();
    Result<SiteInfo> site = SiteConfig::TryLoadSiteInfo(config);
    std::error_code ec;
    if (site && !std::filesystem::exists(config, ec)) {
        std::cerr << "NOTICE : No site configuration file " << config
                  << "; the report's site fields will be empty.\n";
    }
    return site;
}

int Run(const std::vector<std::string>& args) {
    const Result<CommandLine> parsed =
        CommandLine::Parse(args, {{"device", OptionKind::Value},
                                  {"simulate", OptionKind::OptionalValue},
                                  {"data-dir", OptionKind::Value},
                                  {"timeout", OptionKind::Value}});
    if (!parsed) {
        return UsageError(kName, parsed.error());
    }
    const CommandLine& line = *parsed;
    if (!line.Positional().empty()) {
        return UsageError(kName, "unexpected argument '" + line.Positional().front() + "'");
    }
    const Result<LinkOptions> options = LinkFactory::FromCommandLine(line);
    if (!options) {
        return UsageError(kName, options.error());
    }
    const Result<std::chrono::seconds> timeout = ParseTimeout(line);
    if (!timeout) {
        return UsageError(kName, timeout.error());
    }
    const DataFolder folder =
        line.Has("data-dir") ? DataFolder(*line.Value("data-dir")) : DataFolder::Default();
    if (Status ready = folder.EnsureReportFolder(); !ready) {
        std::cerr << kErrorMessagePrefix << ready.error() << "\n";
        return kExitUsage;
    }

    ConsoleProgress progress(::isatty(STDERR_FILENO) == 1);
    AcquisitionEngine engine(progress);
    if (Status opened = engine.OpenDevice(LinkFactory::Opener(*options)); !opened) {
        std::cerr << kMsgCheckCable << "\n"
                  << "  " << opened.error() << "\n";
        return kExitUsage;
    }
    const Result<SiteInfo> site = LoadSite(folder);
    if (!site) {
        engine.Close();
        std::cerr << kErrorMessagePrefix << site.error() << "\n";
        return kExitUsage;
    }
    engine.ResetForDiagnosis();
    engine.StartAcquisition();
    AcquisitionOutcome outcome = engine.WaitForEnd(*timeout);
    if (outcome == AcquisitionOutcome::Running) {
        engine.Close();
        outcome = engine.Outcome();
    }
    progress.Finish();
    switch (outcome) {
        case AcquisitionOutcome::Completed:
            break;
        case AcquisitionOutcome::EnableFailed:
            return kExitUsage;  // the message is out already
        case AcquisitionOutcome::DeviceLost: {
            std::string reason = engine.LostReason();
            if (!reason.empty()) {
                reason[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(reason[0])));
            }
            std::cerr << "ERROR : " << reason
                      << " during the acquisition; no report file written.\n";
            return kExitIncomplete;
        }
        default:
            std::cerr << "ERROR : The end of the system log did not arrive from "
                      << engine.LinkName() << " within " << timeout->count() << " s ("
                      << engine.HtCount() << " system records, " << engine.CmdCount()
                      << " log records); no report file written.\n";
            return kExitIncomplete;
    }
    const Result<WrittenReport> written = ReportFileWriter::WriteReportFile(
        folder.ReportFolder(), *site, engine.Data(), std::time(nullptr));
    if (!written) {
        std::cerr << "ERROR : " << written.error() << "\n";
        return kExitUsage;
    }
    std::cout << written->m_strReportPath << "\n";
    return kExitOk;
}

}  // namespace

const ToolCommand kAcquireCommand{kName, "one headless diagnosis into a report file", kUsage, Run};

}  // namespace vok::tools
