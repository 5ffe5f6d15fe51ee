#include "center/CenterService.h"

#include <atomic>
#include <chrono>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>

#include "center/ConsoleAuth.h"
#include "center/ConsolePage.h"
#include "center/FleetPage.h"
#include "center/GeneratorPage.h"
#include "center/JsonText.h"
#include "center/MultipartForm.h"
#include "center/ReportChanges.h"
#include "center/ReportPage.h"
#include "platform/ProfileFile.h"
#include "report/DefinitionFile.h"
#include "report/HtmlText.h"
#include "report/RenderHtml.h"
#include "report/ReportFileReader.h"

namespace vok::center {

namespace {

constexpr std::int64_t kDefaultLimit = 1000;
constexpr std::int64_t kMaxLimit = 100000;
constexpr std::string_view kUploadPath = "/VOK/index.php";
constexpr std::string_view kReportsPrefix = "/reports/";
constexpr std::string_view kGeneratorsPrefix = "/generators/";
constexpr std::string_view kStaticPrefix = "/static/";
// The whole fleet in one file: enough for any one center.
constexpr std::int64_t kCsvRowLimit = 1000000;

std::atomic<std::uint64_t> g_instances{0};

using ThreadStores = std::map<std::uint64_t, std::unique_ptr<ReportStore>>;
thread_local ThreadStores t_stores;

std::mutex g_logMutex;

void Log(const std::string& line) {
    const std::lock_guard lock(g_logMutex);
    std::cerr << line << '\n';
}

std::string Escape(std::string_view text) {
    return HtmlText::Escape(text);
}

bool AllDigits(std::string_view text) {
    return !text.empty() && text.size() <= 18 &&
           text.find_first_not_of("0123456789") == std::string_view::npos;
}

bool IsLoopback(std::string_view address) {
    return address.starts_with("127.") || address == "::1" || address.starts_with("::ffff:127.");
}

// The client's address: the peer, or behind a proxy on this machine (the
// nginx example) the last address that proxy put into X-Forwarded-For.
std::string ClientAddress(const HttpRequest& request) {
    if (IsLoopback(request.peer)) {
        if (const auto forwarded = request.Header("x-forwarded-for")) {
            std::string_view last = *forwarded;
            if (const std::size_t comma = last.rfind(','); comma != std::string_view::npos) {
                last = last.substr(comma + 1);
            }
            while (!last.empty() && last.front() == ' ') {
                last.remove_prefix(1);
            }
            while (!last.empty() && last.back() == ' ') {
                last.remove_suffix(1);
            }
            if (!last.empty() && last.size() <= 64) {
                return std::string(last);
            }
        }
    }
    return request.peer;
}

// "YYYY-MM-DD", "YYYY-MM-DDTHH:MM" or "YYYY-MM-DDTHH:MM:SS".
bool IsIsoDate(std::string_view text) {
    static constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:dd";
    if (text.size() != 10 && text.size() != 16 && text.size() != 19) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char want = kShape[i];
        if (want == 'd' ? (text[i] < '0' || text[i] > '9') : text[i] != want) {
            return false;
        }
    }
    return true;
}

// A number query field within [low, high]; the default when absent.
bool NumberField(const std::map<std::string, std::string>& fields, const std::string& name,
                 std::int64_t low, std::int64_t high, std::int64_t& value) {
    const auto it = fields.find(name);
    if (it == fields.end()) {
        return true;
    }
    if (!AllDigits(it->second)) {
        return false;
    }
    value = std::stoll(it->second);
    return value >= low && value <= high;
}

HttpResponse BadQuery(std::string_view why) {
    return HttpResponse::Text(400, "400 " + std::string(why) + "\n");
}

HttpResponse StoreDown(const std::string& error) {
    Log("store error: " + error);
    return HttpResponse::Text(503, "503 store unavailable\n");
}

std::string PageHead(std::string_view title) {
    return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
           "<title>" +
           Escape(title) + "</title><link rel=\"stylesheet\" href=\"" +
           std::string(ConsolePage::kStylePath) + "\"></head><body class=\"login\">\n";
}

// A file name for Content-Disposition: a plain ASCII fallback with every
// character that could end or bend the header replaced, and the exact name
// in RFC 5987 form.
std::string ContentDisposition(std::string_view name) {
    if (name.empty()) {
        name = "report.VOK";
    }
    std::string plain;
    std::string encoded;
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        const bool safe = c > 0x20 && c < 0x7F && c != '"' && c != '\\' && c != ';' && c != '%';
        plain += safe ? ch : '_';
        const bool attr = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') ||
                          std::string_view("!#$&+-.^_`|~").find(ch) != std::string_view::npos;
        if (attr) {
            encoded += ch;
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0x0F];
        }
    }
    return "attachment; filename=\"" + plain + "\"; filename*=UTF-8''" + encoded;
}

void AppendReportJson(std::string& out, const ReportSummary& r) {
    out += '{';
    JsonText::Field(out, "id", r.id, true);
    JsonText::Field(out, "serial", r.serial);
    JsonText::Field(out, "file_name", r.fileName);
    JsonText::Field(out, "sha256", r.sha256);
    JsonText::Field(out, "report_date", r.reportDate);
    JsonText::Field(out, "received_at", r.receivedAt);
    JsonText::Field(out, "sender", r.sender);
    JsonText::Field(out, "size", r.size);
    JsonText::Field(out, "hospital", r.hospital);
    JsonText::Field(out, "address", r.address);
    JsonText::Field(out, "model", r.model);
    JsonText::Field(out, "exposures_total", r.exposuresTotal);
    JsonText::Field(out, "exposures_today", r.exposuresToday);
    JsonText::Field(out, "error_count", r.errorCount);
    JsonText::Field(out, "heat_units_total", r.heatUnitsTotal);
    JsonText::Field(out, "error_log_count", r.errorLogCount);
    JsonText::Field(out, "protocol_log_count", r.protocolLogCount);
    out += '}';
}

void AppendGeneratorJson(std::string& out, const GeneratorSummary& g) {
    out += '{';
    JsonText::Field(out, "serial", g.serial, true);
    JsonText::Field(out, "model", g.model);
    JsonText::Field(out, "hospital", g.hospital);
    JsonText::Field(out, "address", g.address);
    JsonText::Field(out, "reports", g.reports);
    JsonText::Field(out, "last_report_id", g.lastReportId);
    JsonText::Field(out, "last_report_date", g.lastReportDate);
    JsonText::Field(out, "last_received_at", g.lastReceivedAt);
    out += '}';
}

}  // namespace

CenterService::CenterService(CenterConfig config)
    : m_config(std::move(config)),
      m_indexer(m_config.maxReportBytes),
      m_assets(m_config.chartJsPath),
      m_instance(++g_instances) {}

CenterService::~CenterService() {
    ReleaseThreadStore();
}

Result<ReportStore*> CenterService::ThreadStore() {
    auto& slot = t_stores[m_instance];
    if (!slot) {
        Result<std::unique_ptr<ReportStore>> opened = ReportStore::Open(m_config.database);
        if (!opened) {
            t_stores.erase(m_instance);
            return Error{opened.error()};
        }
        slot = std::move(opened).value();
    }
    return slot.get();
}

void CenterService::ReleaseThreadStore() {
    t_stores.erase(m_instance);
}

std::vector<CenterService::Received> CenterService::ReceiveMany(std::vector<Incoming> files,
                                                                const std::string& sender) {
    std::vector<Received> received(files.size());
    // The definitions as they are now, as `vok report` would read them.
    const DefinitionFile definitions = DefinitionFile::Load(m_config.definitionsPath);
    std::vector<IndexedReport> indexed;
    std::vector<std::size_t> positions;
    for (std::size_t i = 0; i < files.size(); ++i) {
        Received& r = received[i];
        if (files[i].content.size() > m_config.maxReportBytes) {
            r.reason = RejectReason::TooLarge;
            r.message =
                "report file larger than " + std::to_string(m_config.maxReportBytes) + " bytes";
            m_metrics.CountRejected(r.reason);
            continue;
        }
        Result<IndexedReport> one =
            m_indexer.Index(std::move(files[i].content), files[i].sentName, definitions);
        if (!one) {
            r.reason = RejectReason::NotReport;
            r.message = one.error();
            m_metrics.CountRejected(r.reason);
            continue;
        }
        one.value().sender = sender;
        indexed.push_back(std::move(one).value());
        positions.push_back(i);
    }
    if (indexed.empty()) {
        return received;
    }
    const auto storeFailed = [&](const std::string& error) {
        Log("store error: " + error);
        for (std::size_t position : positions) {
            received[position].reason = RejectReason::StoreFailed;
            received[position].message = "store unavailable";
            m_metrics.CountRejected(RejectReason::StoreFailed);
        }
        return received;
    };
    Result<ReportStore*> store = ThreadStore();
    if (!store) {
        return storeFailed(store.error());
    }
    const auto started = std::chrono::steady_clock::now();
    std::vector<Result<StoreOutcome>> outcomes;
    if (indexed.size() == 1) {
        // Uploads: gathered with other workers' into one commit.
        outcomes.push_back(m_batcher.Store(*store.value(), indexed.front()));
    } else {
        std::vector<const IndexedReport*> batch;
        for (const IndexedReport& report : indexed) {
            batch.push_back(&report);
        }
        outcomes = CommitBatcher::StoreTogether(*store.value(), batch);
    }
    const auto took =
        (std::chrono::steady_clock::now() - started) / static_cast<long>(indexed.size());
    bool broken = false;
    for (std::size_t k = 0; k < outcomes.size(); ++k) {
        Received& r = received[positions[k]];
        if (!outcomes[k]) {
            Log("store error: " + outcomes[k].error());
            r.reason = RejectReason::StoreFailed;
            r.message = "store unavailable";
            m_metrics.CountRejected(r.reason);
            broken = true;
            continue;
        }
        r.stored = true;
        r.duplicate = outcomes[k]->duplicate;
        r.id = outcomes[k]->id;
        if (r.duplicate) {
            m_metrics.CountDuplicate(took);
        } else {
            m_metrics.CountStored(took);
        }
    }
    if (broken) {
        ReleaseThreadStore();  // a broken connection is opened afresh next time
    }
    return received;
}

CenterService::Received CenterService::Receive(std::string content, std::string_view sentName,
                                               const std::string& sender) {
    std::vector<Incoming> one;
    one.push_back({std::move(content), std::string(sentName)});
    return ReceiveMany(std::move(one), sender).front();
}

HttpResponse CenterService::Handle(HttpRequest& request) {
    m_metrics.CountRequest();
    const std::string& path = request.path;
    const bool get = request.method == "GET";
    const bool post = request.method == "POST";

    if (path == kUploadPath) {
        return post ? Upload(request) : HttpResponse::Text(405, "405 send reports with POST\n");
    }
    if (path == "/healthz") {
        return get ? Health() : HttpResponse::Text(405, "405 method not allowed\n");
    }
    if (path == "/login" && get) {
        return LoginPage(200, "");
    }
    if (path.starts_with(kStaticPrefix) && get) {
        if (auto asset = m_assets.Serve(path)) {
            return std::move(*asset);
        }
        return HttpResponse::Text(404, "404 not found\n");
    }

    Result<ReportStore*> opened = ThreadStore();
    if (!opened) {
        return StoreDown(opened.error());
    }
    ReportStore& store = *opened.value();
    if (path == "/login" && post) {
        return LoginPost(request, store);
    }
    if (path == "/login") {
        return HttpResponse::Text(405, "405 method not allowed\n");
    }

    // Everything else needs a console user: a session, or HTTP Basic.
    const bool api = path.starts_with("/api/") || path == "/metrics";
    std::optional<std::string> user;
    if (const auto cookie = request.Header("cookie")) {
        Result<std::optional<std::string>> session = ConsoleAuth::SessionUser(store, *cookie);
        if (!session) {
            ReleaseThreadStore();
            return StoreDown(session.error());
        }
        user = session.value();
    }
    if (!user) {
        if (const auto authorization = request.Header("authorization")) {
            const ConsoleAuth::Login login =
                ConsoleAuth::Basic(store, *authorization, ClientAddress(request));
            if (login.outcome == ConsoleAuth::Outcome::StoreFailed) {
                ReleaseThreadStore();
                return StoreDown(login.error);
            }
            if (login.outcome == ConsoleAuth::Outcome::Limited) {
                return HttpResponse::Text(429, "429 too many failed logins, wait a while\n");
            }
            if (login.outcome == ConsoleAuth::Outcome::Busy) {
                return HttpResponse::Text(503, "503 busy checking passwords, try again\n");
            }
            if (login.outcome == ConsoleAuth::Outcome::Ok) {
                user = login.user;
            }
        }
    }
    if (!user) {
        if (api) {
            HttpResponse response = HttpResponse::Text(401, "401 log in first\n");
            response.headers.emplace_back("WWW-Authenticate",
                                          "Basic realm=\"vok-center\", charset=\"UTF-8\"");
            return response;
        }
        return HttpResponse::Redirect("/login");
    }

    if (path == "/logout") {
        return post ? Logout(request, store) : HttpResponse::Text(405, "405 method not allowed\n");
    }
    if (!get) {
        return HttpResponse::Text(405, "405 method not allowed\n");
    }
    if (path == "/") {
        return FleetHtml(request, store);
    }
    if (path == "/generators.csv") {
        return FleetCsv(request, store);
    }
    if (path.starts_with(kGeneratorsPrefix)) {
        const std::string serial = HttpRequest::PercentDecode(
            std::string_view(path).substr(kGeneratorsPrefix.size()), false);
        return GeneratorHtml(store, serial);
    }
    if (path == "/api/reports") {
        return ApiReports(request, store);
    }
    if (path == "/api/generators") {
        return ApiGenerators(request, store);
    }
    if (path == "/metrics") {
        HttpResponse response = HttpResponse::Text(200, m_metrics.Render());
        response.contentType = "text/plain; version=0.0.4; charset=utf-8";
        return response;
    }
    if (path.starts_with(kReportsPrefix)) {
        const std::string_view rest = std::string_view(path).substr(kReportsPrefix.size());
        const std::size_t slash = rest.find('/');
        const std::string_view id = rest.substr(0, slash);
        const std::string_view what =
            slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (AllDigits(id) && slash == std::string_view::npos) {
            return ReportConsole(store, std::stoll(std::string(id)));
        }
        if (AllDigits(id) && (what == "html" || what == "file")) {
            const std::int64_t number = std::stoll(std::string(id));
            return what == "html" ? ReportHtml(store, number) : ReportFile(store, number);
        }
    }
    return HttpResponse::Text(404, "404 not found\n");
}

HttpResponse CenterService::Upload(const HttpRequest& request) {
    const auto refuse = [this](RejectReason reason, int status, const std::string& why) {
        m_metrics.CountRejected(reason);
        return HttpResponse::Text(status, std::to_string(status) + " " + why + "\n");
    };
    const std::string_view contentType = request.Header("content-type").value_or("");
    Result<std::vector<FormPart>> parts = MultipartForm::Parse(contentType, request.body);
    if (!parts) {
        Log("upload from " + ClientAddress(request) + " refused: " + parts.error());
        return refuse(RejectReason::BadRequest, 400, parts.error());
    }
    FormPart* file = nullptr;
    for (FormPart& part : parts.value()) {
        if (part.name == "userfile" && part.hasFileName) {
            file = &part;
            break;
        }
    }
    if (file == nullptr) {
        Log("upload from " + ClientAddress(request) + " refused: no userfile field");
        return refuse(RejectReason::NoUserfile, 400, "no file in a userfile field");
    }
    std::string content = std::move(file->content);
    const Result<std::string> boundary = MultipartForm::Boundary(contentType);
    if (boundary && boundary.value() == kSiteBoundary && content.ends_with("\r\n")) {
        content.resize(content.size() - 2);
    }
    const std::string sender = ClientAddress(request);
    Received received = Receive(std::move(content), file->fileName, sender);
    if (!received.stored) {
        Log("upload from " + sender + " refused: " + received.message);
        const int status = received.reason == RejectReason::TooLarge      ? 413
                           : received.reason == RejectReason::StoreFailed ? 503
                                                                          : 422;
        return HttpResponse::Text(status, std::to_string(status) + " " + received.message + "\n");
    }
    Log(std::string(received.duplicate ? "repeated report " : "stored report ") +
        std::to_string(received.id) + " from " + sender);
    return HttpResponse::Text(200, "200\n");
}

HttpResponse CenterService::Health() {
    Result<ReportStore*> store = ThreadStore();
    if (!store) {
        return StoreDown(store.error());
    }
    if (Status alive = store.value()->Ping(); !alive) {
        ReleaseThreadStore();
        return StoreDown(alive.error());
    }
    return HttpResponse::Text(200, "ok\n");
}

HttpResponse CenterService::LoginPage(int status, std::string_view message) {
    std::string page = PageHead("vok-center: log in");
    page += "<h1>VOK service center</h1>\n";
    if (!message.empty()) {
        page += "<p><strong>" + Escape(message) + "</strong></p>\n";
    }
    page +=
        "<form method=\"post\" action=\"/login\">\n"
        "<p><label>User <input name=\"user\" autocomplete=\"username\" required></label></p>\n"
        "<p><label>Password <input name=\"password\" type=\"password\""
        " autocomplete=\"current-password\" required></label></p>\n"
        "<p><button type=\"submit\">Log in</button></p>\n</form>\n</body></html>\n";
    return HttpResponse::Html(status, std::move(page));
}

bool CenterService::RequestIsTls(const HttpRequest& request) {
    // Set by the TLS proxy in front (the nginx example); a client that sends
    // it itself only makes its own cookie stricter.
    const auto proto = request.Header("x-forwarded-proto");
    return proto && *proto == "https";
}

HttpResponse CenterService::LoginPost(const HttpRequest& request, ReportStore& store) {
    const auto fields = HttpRequest::ParseFormFields(request.body);
    const auto user = fields.find("user");
    const auto password = fields.find("password");
    if (user == fields.end() || password == fields.end()) {
        return LoginPage(400, "Give a user name and a password.");
    }
    const ConsoleAuth::Login login =
        ConsoleAuth::LogIn(store, user->second, password->second, ClientAddress(request), true);
    switch (login.outcome) {
        case ConsoleAuth::Outcome::Ok: {
            HttpResponse response = HttpResponse::Redirect("/");
            std::string cookie = std::string(ConsoleAuth::kCookieName) + "=" + login.token +
                                 "; Path=/; HttpOnly; SameSite=Strict; Max-Age=" +
                                 std::to_string(ConsoleAuth::kSessionSeconds);
            if (RequestIsTls(request)) {
                cookie += "; Secure";
            }
            response.headers.emplace_back("Set-Cookie", cookie);
            return response;
        }
        case ConsoleAuth::Outcome::Limited:
            return LoginPage(429, "Too many failed logins from your address; wait a while.");
        case ConsoleAuth::Outcome::Busy:
            return LoginPage(503, "The center is busy; try again in a moment.");
        case ConsoleAuth::Outcome::StoreFailed:
            ReleaseThreadStore();
            return StoreDown(login.error);
        case ConsoleAuth::Outcome::Refused:
            break;
    }
    return LoginPage(401, "Unknown user or wrong password.");
}

HttpResponse CenterService::Logout(const HttpRequest& request, ReportStore& store) {
    if (Status ended = ConsoleAuth::LogOut(store, request.Header("cookie").value_or("")); !ended) {
        return StoreDown(ended.error());
    }
    HttpResponse response = HttpResponse::Redirect("/login");
    response.headers.emplace_back(
        "Set-Cookie",
        std::string(ConsoleAuth::kCookieName) + "=; Path=/; HttpOnly; SameSite=Strict; Max-Age=0");
    return response;
}

HttpResponse CenterService::FleetHtml(const HttpRequest& request, ReportStore& store) {
    const FleetPage::Params params = FleetPage::Params::From(request.QueryFields());
    const Result<std::int64_t> total = store.FleetCount(params.search);
    if (!total) {
        ReleaseThreadStore();
        return StoreDown(total.error());
    }
    const Result<std::vector<FleetRow>> rows = store.Fleet(params.Query(FleetPage::kPageSize));
    if (!rows) {
        ReleaseThreadStore();
        return StoreDown(rows.error());
    }
    return HttpResponse::Html(
        200, FleetPage::Render(rows.value(), total.value(), params, ConsolePage::Today()));
}

HttpResponse CenterService::FleetCsv(const HttpRequest& request, ReportStore& store) {
    FleetPage::Params params = FleetPage::Params::From(request.QueryFields());
    params.page = 1;
    const Result<std::vector<FleetRow>> rows = store.Fleet(params.Query(kCsvRowLimit));
    if (!rows) {
        ReleaseThreadStore();
        return StoreDown(rows.error());
    }
    HttpResponse response;
    response.contentType = "text/csv; charset=utf-8";
    response.headers.emplace_back("Content-Disposition", ContentDisposition("generators.csv"));
    response.body = FleetPage::Csv(rows.value(), ConsolePage::Today());
    return response;
}

HttpResponse CenterService::GeneratorHtml(ReportStore& store, const std::string& serial) {
    // No serial holds a zero byte, and PostgreSQL refuses one in a query.
    const Result<std::optional<GeneratorSummary>> generator =
        serial.find('\0') == std::string::npos ? store.Generator(serial)
                                               : std::optional<GeneratorSummary>();
    if (!generator) {
        ReleaseThreadStore();
        return StoreDown(generator.error());
    }
    if (!generator.value()) {
        return HttpResponse::Html(
            404, ConsolePage::Head("No such generator") + "<h1>No generator " + Escape(serial) +
                     "</h1>\n<p><a href=\"/\">Back to the fleet</a></p>\n" + ConsolePage::Tail());
    }
    ReportQuery query;
    query.serial = serial;
    query.limit = GeneratorPage::kTimelineLength;
    const Result<std::vector<ReportSummary>> reports = store.Reports(query);
    const Result<std::vector<ErrorCodeCount>> codes =
        reports ? store.ErrorCodes(serial) : Error{reports.error()};
    const Result<std::vector<ServiceEntry>> history =
        codes ? store.ServiceHistory(serial) : Error{codes.error()};
    if (!history) {
        ReleaseThreadStore();
        return StoreDown(history.error());
    }
    return HttpResponse::Html(
        200, GeneratorPage::Render(*generator.value(), reports.value(), codes.value(),
                                   history.value(), ConsolePage::Today()));
}

HttpResponse CenterService::ReportConsole(ReportStore& store, std::int64_t id) {
    const Result<std::optional<ReportSummary>> report = store.Report(id);
    if (!report) {
        ReleaseThreadStore();
        return StoreDown(report.error());
    }
    if (!report.value()) {
        return HttpResponse::Html(
            404, ConsolePage::Head("No such report") + "<h1>No report " + std::to_string(id) +
                     "</h1>\n<p><a href=\"/\">Back to the fleet</a></p>\n" + ConsolePage::Tail());
    }
    ReportPage::Since since;
    const Result<std::optional<std::int64_t>> previousId = store.PreviousReport(id);
    if (!previousId) {
        ReleaseThreadStore();
        return StoreDown(previousId.error());
    }
    if (previousId.value()) {
        const Result<std::optional<ReportSummary>> previous = store.Report(*previousId.value());
        const Result<std::optional<StoredFile>> before =
            previous ? store.File(*previousId.value()) : Error{previous.error()};
        const Result<std::optional<StoredFile>> after =
            before ? store.File(id) : Error{before.error()};
        if (!after) {
            ReleaseThreadStore();
            return StoreDown(after.error());
        }
        since.previous = previous.value();
        if (before.value() && after.value()) {
            Result<ReportChanges> changes =
                ReportChanges::Between(before.value()->content, after.value()->content,
                                       DefinitionFile::Load(m_config.definitionsPath));
            if (changes) {
                since.changes = std::move(changes).value();
            } else {
                since.problem = changes.error();
            }
        } else {
            since.problem = "a report file is missing from the store";
        }
    }
    return HttpResponse::Html(200, ReportPage::Render(*report.value(), since));
}

HttpResponse CenterService::ReportHtml(ReportStore& store, std::int64_t id) {
    const Result<std::optional<StoredFile>> file = store.File(id);
    if (!file) {
        ReleaseThreadStore();
        return StoreDown(file.error());
    }
    if (!file.value()) {
        return HttpResponse::Text(404, "404 no report " + std::to_string(id) + "\n");
    }
    // What `vok report` writes for these bytes with these definitions.
    const ReportData report =
        ReportFileReader::ReadReportFile(ProfileFile::Parse(file.value()->content));
    HttpResponse response =
        HttpResponse::Html(200, RenderHtml(report, DefinitionFile::Load(m_config.definitionsPath)));
    // The page names no charset; the browser reads it as the site's did.
    response.contentType = "text/html";
    response.headers.emplace_back("Content-Security-Policy", std::string(kReportPagePolicy));
    return response;
}

HttpResponse CenterService::ReportFile(ReportStore& store, std::int64_t id) {
    Result<std::optional<StoredFile>> file = store.File(id);
    if (!file) {
        ReleaseThreadStore();
        return StoreDown(file.error());
    }
    if (!file.value()) {
        return HttpResponse::Text(404, "404 no report " + std::to_string(id) + "\n");
    }
    HttpResponse response;
    response.contentType = "application/octet-stream";
    response.headers.emplace_back("Content-Disposition",
                                  ContentDisposition(file.value()->fileName));
    response.body = std::move(file.value()->content);
    return response;
}

HttpResponse CenterService::ApiReports(const HttpRequest& request, ReportStore& store) {
    const auto fields = request.QueryFields();
    ReportQuery query;
    query.limit = kDefaultLimit;
    if (!NumberField(fields, "limit", 1, kMaxLimit, query.limit)) {
        return BadQuery("limit must be a number from 1 to " + std::to_string(kMaxLimit));
    }
    if (!NumberField(fields, "offset", 0, INT64_MAX / 2, query.offset)) {
        return BadQuery("offset must be a number from 0");
    }
    if (const auto serial = fields.find("serial"); serial != fields.end()) {
        query.serial = serial->second;
    }
    if (const auto since = fields.find("since"); since != fields.end()) {
        if (!IsIsoDate(since->second)) {
            return BadQuery("since must be a date YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS");
        }
        query.since = since->second;
    }
    const Result<std::vector<ReportSummary>> reports = store.Reports(query);
    if (!reports) {
        ReleaseThreadStore();
        return StoreDown(reports.error());
    }
    std::string out = "[";
    for (std::size_t i = 0; i < reports.value().size(); ++i) {
        if (i != 0) {
            out += ",\n";
        }
        AppendReportJson(out, reports.value()[i]);
    }
    out += "]\n";
    return HttpResponse::Json(std::move(out));
}

HttpResponse CenterService::ApiGenerators(const HttpRequest& request, ReportStore& store) {
    const auto fields = request.QueryFields();
    std::int64_t limit = kDefaultLimit;
    std::int64_t offset = 0;
    if (!NumberField(fields, "limit", 1, kMaxLimit, limit)) {
        return BadQuery("limit must be a number from 1 to " + std::to_string(kMaxLimit));
    }
    if (!NumberField(fields, "offset", 0, INT64_MAX / 2, offset)) {
        return BadQuery("offset must be a number from 0");
    }
    const Result<std::vector<GeneratorSummary>> generators = store.Generators(limit, offset);
    if (!generators) {
        ReleaseThreadStore();
        return StoreDown(generators.error());
    }
    std::string out = "[";
    for (std::size_t i = 0; i < generators.value().size(); ++i) {
        if (i != 0) {
            out += ",\n";
        }
        AppendGeneratorJson(out, generators.value()[i]);
    }
    out += "]\n";
    return HttpResponse::Json(std::move(out));
}

}  // namespace vok::center
