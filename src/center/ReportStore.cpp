#include "center/ReportStore.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <atomic>
#include <map>

namespace vok::center {

namespace {

std::atomic<unsigned> g_connectionCounter{0};

// Whether the bytes are well-formed UTF-8.
bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        unsigned minimum = 0;
        unsigned code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            minimum = 0x80;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            minimum = 0x800;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            minimum = 0x10000;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

// Report texts are 8-bit text in the site's code page. The index keeps them
// as Unicode: UTF-8 where the bytes are UTF-8, else each byte as its Latin-1
// character, so that no byte turns into a replacement mark. The original
// bytes are kept unchanged beside the index.
QString ToQ(std::string_view text) {
    if (IsUtf8(text)) {
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQ(const QVariant& value) {
    return value.toString().toStdString();
}

Error QueryError(std::string_view what, const QSqlQuery& query) {
    return Error{"database: " + std::string(what) + ": " + query.lastError().text().toStdString()};
}

qlonglong Q(std::int64_t number) {
    return static_cast<qlonglong>(number);
}

// Every row of a run query, each read by `read`.
template <typename Read>
auto AllRows(Result<std::unique_ptr<QSqlQuery>> run, Read read)
    -> Result<std::vector<decltype(read(std::declval<const QSqlQuery&>()))>> {
    if (!run) {
        return Error{run.error()};
    }
    std::vector<decltype(read(std::declval<const QSqlQuery&>()))> rows;
    QSqlQuery& query = **run;
    while (query.next()) {
        rows.push_back(read(query));
    }
    return rows;
}

// The first row of a run query, read by `read`; nothing when there is none.
template <typename Read>
auto FirstRow(Result<std::unique_ptr<QSqlQuery>> run, Read read)
    -> Result<std::optional<decltype(read(std::declval<const QSqlQuery&>()))>> {
    using Row = decltype(read(std::declval<const QSqlQuery&>()));
    if (!run) {
        return Error{run.error()};
    }
    QSqlQuery& query = **run;
    if (!query.next()) {
        return std::optional<Row>();
    }
    return std::optional<Row>(read(query));
}

}  // namespace

class ReportStore::Impl {
public:
    Impl(QString name, bool postgres) : m_name(std::move(name)), m_postgres(postgres) {}
    ~Impl() {
        // Prepared statements belong to the connection and go before it.
        m_statements.clear();
        if (m_db.isValid()) {
            m_db.close();
        }
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }

    Status Exec(const QString& sql) {
        QSqlQuery query(m_db);
        if (!query.exec(sql)) {
            return QueryError(sql.left(60).toStdString(), query);
        }
        return Done{};
    }

    Status Begin() { return Exec(m_postgres ? "BEGIN" : "BEGIN IMMEDIATE"); }
    Status Commit() { return Exec("COMMIT"); }
    void Rollback() { (void)Exec("ROLLBACK"); }

    QString Dialect(QString sql) const {
        sql.replace("{ID}", m_postgres ? "BIGSERIAL PRIMARY KEY" : "INTEGER PRIMARY KEY");
        sql.replace("{BLOB}", m_postgres ? "BYTEA" : "BLOB");
        // Dates, serials and hashes compare byte by byte, whatever the
        // database's locale (ISO dates sort right only that way).
        sql.replace("{CTEXT}", m_postgres ? "TEXT COLLATE \"C\"" : "TEXT");
        return sql;
    }

    // A write-path statement, prepared on first use and kept for the life
    // of the connection: preparing cost more than running them.
    Result<QSqlQuery*> Statement(const QString& sql) {
        auto found = m_statements.find(sql);
        if (found != m_statements.end()) {
            return found->second.get();
        }
        auto query = std::make_unique<QSqlQuery>(m_db);
        if (!query->prepare(sql)) {
            return QueryError("prepare " + sql.left(60).toStdString(), *query);
        }
        return m_statements.emplace(sql, std::move(query)).first->second.get();
    }

    // One statement with its values bound in order, run; a failure names
    // `what`. The rows are read from the query handed back.
    Result<std::unique_ptr<QSqlQuery>> Run(const QString& sql, const QVariantList& values,
                                           std::string_view what) {
        auto query = std::make_unique<QSqlQuery>(m_db);
        query->setForwardOnly(true);
        query->prepare(sql);
        for (const QVariant& value : values) {
            query->addBindValue(value);
        }
        if (!query->exec()) {
            return QueryError(what, *query);
        }
        return query;
    }
    Status RunOnly(const QString& sql, const QVariantList& values, std::string_view what) {
        const Result<std::unique_ptr<QSqlQuery>> run = Run(sql, values, what);
        return run ? Status(Done{}) : Status(Error{run.error()});
    }
    // The first column of the one row a COUNT (or SELECT 1) gives.
    Result<std::int64_t> Count(const QString& sql, const QVariantList& values,
                               std::string_view what) {
        Result<std::unique_ptr<QSqlQuery>> run = Run(sql, values, what);
        if (!run) {
            return Error{run.error()};
        }
        QSqlQuery& query = **run;
        if (!query.next()) {
            return QueryError(what, query);
        }
        return static_cast<std::int64_t>(query.value(0).toLongLong());
    }

    Status CreateSchema();
    Status AddGeneratorFigures();
    Result<std::optional<std::int64_t>> FindSha(const std::string& sha256);
    // One report's rows, inside the caller's transaction.
    Result<StoreOutcome> Insert(const IndexedReport& r);
    Status InsertErrors(std::int64_t id, const std::vector<ErrorLogEntry>& errors);

    QString m_name;
    bool m_postgres;
    QSqlDatabase m_db;
    std::map<QString, std::unique_ptr<QSqlQuery>> m_statements;
    bool m_checkpointsDeferred = false;
};

namespace {

const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS reports ("
    " id {ID},"
    " sha256 {CTEXT} NOT NULL UNIQUE,"
    " serial {CTEXT} NOT NULL,"
    " file_name TEXT NOT NULL,"
    " sent_name TEXT NOT NULL,"
    " sender TEXT NOT NULL,"
    " received_at {CTEXT} NOT NULL,"
    " size BIGINT NOT NULL,"
    " date_text TEXT NOT NULL,"
    " time_text TEXT NOT NULL,"
    " report_date {CTEXT} NOT NULL,"
    " manufacture TEXT NOT NULL, site_model TEXT NOT NULL, install_date TEXT NOT NULL,"
    " system_serial TEXT NOT NULL, description TEXT NOT NULL, engineer_name TEXT NOT NULL,"
    " engineer_email TEXT NOT NULL, engineer_phone TEXT NOT NULL, engineer_fax TEXT NOT NULL,"
    " history_date TEXT NOT NULL, history_cause TEXT NOT NULL, history_action TEXT NOT NULL,"
    " hospital TEXT NOT NULL, address TEXT NOT NULL, contact_name TEXT NOT NULL,"
    " contact_email TEXT NOT NULL, contact_phone TEXT NOT NULL, contact_fax TEXT NOT NULL,"
    " comment TEXT NOT NULL,"
    " console_version TEXT NOT NULL,"
    " model TEXT NOT NULL, power TEXT NOT NULL, max_kv TEXT NOT NULL, max_ma TEXT NOT NULL,"
    " max_mas TEXT NOT NULL,"
    " exposures_total BIGINT NOT NULL, exposures_today BIGINT NOT NULL,"
    " error_count BIGINT NOT NULL, heat_units_total BIGINT NOT NULL,"
    " heat_units_today BIGINT NOT NULL, heat_warnings BIGINT NOT NULL,"
    " error_log_count BIGINT NOT NULL, protocol_log_count BIGINT NOT NULL)",
    "CREATE INDEX IF NOT EXISTS reports_by_date ON reports (report_date DESC, id DESC)",
    // A generator's reports in the lists' order, and the console's "errors
    // since the previous report" for every generator of the fleet at once,
    // from the index alone.
    "CREATE INDEX IF NOT EXISTS reports_errors_by_serial"
    " ON reports (serial, report_date DESC, id DESC, error_count)",
    // Every index is paid for by every upload, in the one writer: none that
    // the one above covers, none that no query uses. Stores made before go
    // without them too.
    "DROP INDEX IF EXISTS reports_by_serial",
    "DROP INDEX IF EXISTS error_entries_by_code",
    // The bytes apart from the index, so that lists never drag them along.
    "CREATE TABLE IF NOT EXISTS report_files ("
    " report_id BIGINT PRIMARY KEY REFERENCES reports (id) ON DELETE CASCADE,"
    " content {BLOB} NOT NULL)",
    "CREATE TABLE IF NOT EXISTS error_entries ("
    " report_id BIGINT NOT NULL REFERENCES reports (id) ON DELETE CASCADE,"
    " entry INTEGER NOT NULL, log_index INTEGER NOT NULL, code INTEGER NOT NULL,"
    " text TEXT NOT NULL, code1 INTEGER NOT NULL, code2 INTEGER NOT NULL,"
    " log_date TEXT NOT NULL, log_time TEXT NOT NULL,"
    " PRIMARY KEY (report_id, entry))",
    "CREATE TABLE IF NOT EXISTS protocol_blocks ("
    " report_id BIGINT NOT NULL REFERENCES reports (id) ON DELETE CASCADE,"
    " block INTEGER NOT NULL, row_count INTEGER NOT NULL, rows_text TEXT NOT NULL,"
    " PRIMARY KEY (report_id, block))",
    // One row per generator, brought up to date in each report's transaction:
    // the fleet list never has to group all reports, nor look at any.
    "CREATE TABLE IF NOT EXISTS generators ("
    " serial {CTEXT} PRIMARY KEY,"
    " model TEXT NOT NULL, hospital TEXT NOT NULL, address TEXT NOT NULL,"
    " reports BIGINT NOT NULL, last_report_id BIGINT NOT NULL,"
    " last_report_date {CTEXT} NOT NULL, last_received_at {CTEXT} NOT NULL,"
    " exposures_total BIGINT NOT NULL DEFAULT 0, new_errors BIGINT)",
    "CREATE INDEX IF NOT EXISTS generators_by_date ON generators (last_report_date DESC, serial)",
    "CREATE TABLE IF NOT EXISTS users ("
    " name TEXT PRIMARY KEY, password_hash TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS sessions ("
    " token_hash TEXT PRIMARY KEY, user_name TEXT NOT NULL, expires_at BIGINT NOT NULL)",
    "CREATE INDEX IF NOT EXISTS sessions_by_user ON sessions (user_name)",
    "CREATE TABLE IF NOT EXISTS login_failures ("
    " id {ID}, address TEXT NOT NULL, at BIGINT NOT NULL)",
    "CREATE INDEX IF NOT EXISTS login_failures_by_address ON login_failures (address, at)",
};

constexpr const char* kReportColumns =
    "r.id, r.serial, r.file_name, r.sha256, r.report_date, r.received_at, r.sender, r.size,"
    " r.hospital, r.address, r.model, r.exposures_total, r.exposures_today, r.error_count,"
    " r.heat_units_total, r.error_log_count, r.protocol_log_count";

ReportSummary ReadSummary(const QSqlQuery& q) {
    ReportSummary s;
    s.id = q.value(0).toLongLong();
    s.serial = FromQ(q.value(1));
    s.fileName = FromQ(q.value(2));
    s.sha256 = FromQ(q.value(3));
    s.reportDate = FromQ(q.value(4));
    s.receivedAt = FromQ(q.value(5));
    s.sender = FromQ(q.value(6));
    s.size = q.value(7).toLongLong();
    s.hospital = FromQ(q.value(8));
    s.address = FromQ(q.value(9));
    s.model = FromQ(q.value(10));
    s.exposuresTotal = q.value(11).toLongLong();
    s.exposuresToday = q.value(12).toLongLong();
    s.errorCount = q.value(13).toLongLong();
    s.heatUnitsTotal = q.value(14).toLongLong();
    s.errorLogCount = q.value(15).toLongLong();
    s.protocolLogCount = q.value(16).toLongLong();
    return s;
}

constexpr const char* kGeneratorColumns =
    "serial, model, hospital, address, reports, last_report_id, last_report_date,"
    " last_received_at";

GeneratorSummary ReadGenerator(const QSqlQuery& q) {
    GeneratorSummary g;
    g.serial = FromQ(q.value(0));
    g.model = FromQ(q.value(1));
    g.hospital = FromQ(q.value(2));
    g.address = FromQ(q.value(3));
    g.reports = q.value(4).toLongLong();
    g.lastReportId = q.value(5).toLongLong();
    g.lastReportDate = FromQ(q.value(6));
    g.lastReceivedAt = FromQ(q.value(7));
    return g;
}

}  // namespace

Status ReportStore::Impl::CreateSchema() {
    if (Status begun = Begin(); !begun) {
        return begun;
    }
    // Two instances starting at once on one PostgreSQL must not both create.
    if (m_postgres) {
        if (Status locked = Exec("SELECT pg_advisory_xact_lock(7466353)"); !locked) {
            Rollback();
            return locked;
        }
    }
    for (const char* statement : kSchema) {
        if (Status done = Exec(Dialect(statement)); !done) {
            Rollback();
            return done;
        }
    }
    if (Status added = AddGeneratorFigures(); !added) {
        Rollback();
        return added;
    }
    if (Status committed = Commit(); !committed) {
        Rollback();
        return committed;
    }
    return Done{};
}

ReportStore::ReportStore(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

ReportStore::~ReportStore() = default;

Result<std::unique_ptr<ReportStore>> ReportStore::Open(const DatabaseUrl& url) {
    const bool postgres = url.kind == DatabaseUrl::Kind::Postgresql;
    const QString name = QString("vok-center-%1").arg(++g_connectionCounter);
    auto impl = std::make_unique<Impl>(name, postgres);
    impl->m_db = QSqlDatabase::addDatabase(postgres ? "QPSQL" : "QSQLITE", name);
    if (!impl->m_db.isValid()) {
        return Error{std::string("the Qt SQL driver for ") +
                     (postgres ? "PostgreSQL (libqt6sql6-psql)" : "SQLite (libqt6sql6-sqlite)") +
                     " is not installed"};
    }
    if (postgres) {
        impl->m_db.setDatabaseName(ToQ(url.database));
        if (!url.host.empty()) {
            impl->m_db.setHostName(ToQ(url.host));
        }
        if (url.port != 0) {
            impl->m_db.setPort(url.port);
        }
        if (!url.user.empty()) {
            impl->m_db.setUserName(ToQ(url.user));
        }
        if (!url.password.empty()) {
            impl->m_db.setPassword(ToQ(url.password));
        }
        impl->m_db.setConnectOptions("connect_timeout=10");
    } else {
        impl->m_db.setDatabaseName(ToQ(url.path));
        // Writers queue for the file instead of failing at once.
        impl->m_db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=30000");
    }
    if (!impl->m_db.open()) {
        return Error{"cannot open the database " + url.Describe() + ": " +
                     impl->m_db.lastError().text().toStdString()};
    }
    if (postgres) {
        // "already exists, skipping" for every table at each start is noise.
        // No statement waits for ever on a lock or a stuck server.
        for (const char* setting :
             {"SET client_min_messages TO WARNING", "SET statement_timeout TO 60000"}) {
            if (Status set = impl->Exec(setting); !set) {
                return Error{"cannot set up the database " + url.Describe() + ": " + set.error()};
            }
        }
    } else {
        // Each commit reaches the disk before "200" goes out. A new store
        // takes 16 KiB pages: a report's bytes span four pages instead of
        // sixteen, each one a write to the log and a copy at checkpoint.
        for (const char* pragma : {"PRAGMA page_size=16384", "PRAGMA journal_mode=WAL",
                                   "PRAGMA synchronous=FULL", "PRAGMA foreign_keys=ON"}) {
            if (Status set = impl->Exec(pragma); !set) {
                return Error{"cannot set up the database " + url.Describe() + ": " + set.error()};
            }
        }
    }
    if (Status schema = impl->CreateSchema(); !schema) {
        return Error{"cannot set up the database " + url.Describe() + ": " + schema.error()};
    }
    return std::unique_ptr<ReportStore>(new ReportStore(std::move(impl)));
}

Result<std::optional<std::int64_t>> ReportStore::Impl::FindSha(const std::string& sha256) {
    Result<QSqlQuery*> prepared = Statement("SELECT id FROM reports WHERE sha256 = ?");
    if (!prepared) {
        return Error{prepared.error()};
    }
    QSqlQuery& find = *prepared.value();
    find.bindValue(0, ToQ(sha256));
    if (!find.exec()) {
        return QueryError("find report", find);
    }
    std::optional<std::int64_t> id;
    if (find.next()) {
        id = find.value(0).toLongLong();
    }
    // A kept statement that is not finished would hold its read open.
    find.finish();
    return id;
}

namespace {

QString ReportInsertSql() {
    QString columns =
        "sha256, serial, file_name, sent_name, sender, received_at, size, date_text, time_text,"
        " report_date";
    for (const char* column : IndexedReport::kSiteColumns) {
        columns += ", ";
        columns += column;
    }
    columns +=
        ", console_version, model, power, max_kv, max_ma, max_mas, exposures_total,"
        " exposures_today, error_count, heat_units_total, heat_units_today, heat_warnings,"
        " error_log_count, protocol_log_count";
    const int columnCount = 10 + static_cast<int>(kSiteFieldCount) + 14;
    QString marks;
    for (int i = 0; i < columnCount; ++i) {
        marks += i == 0 ? "?" : ", ?";
    }
    return "INSERT INTO reports (" + columns + ") VALUES (" + marks +
           ") ON CONFLICT (sha256) DO NOTHING RETURNING id";
}

// The newest report (by its own date, then by arrival) speaks for the
// generator; an old file imported late only adds to the count.
constexpr const char* kGeneratorUpsert =
    "INSERT INTO generators (serial, model, hospital, address, reports, last_report_id,"
    " last_report_date, last_received_at) VALUES (?, ?, ?, ?, 1, ?, ?, ?)"
    " ON CONFLICT (serial) DO UPDATE SET reports = generators.reports + 1,"
    " model = CASE WHEN excluded.last_report_date >= generators.last_report_date"
    "   THEN excluded.model ELSE generators.model END,"
    " hospital = CASE WHEN excluded.last_report_date >= generators.last_report_date"
    "   THEN excluded.hospital ELSE generators.hospital END,"
    " address = CASE WHEN excluded.last_report_date >= generators.last_report_date"
    "   THEN excluded.address ELSE generators.address END,"
    " last_report_id = CASE WHEN excluded.last_report_date >= generators.last_report_date"
    "   THEN excluded.last_report_id ELSE generators.last_report_id END,"
    " last_report_date = CASE WHEN excluded.last_report_date >= generators.last_report_date"
    "   THEN excluded.last_report_date ELSE generators.last_report_date END,"
    " last_received_at = excluded.last_received_at";

// A generator's newest exposure count and its error counter's growth since
// the report before the newest (none after one report), kept in its row
// because the fleet sorts and exports by them. Worked out again whenever a
// report comes, since a late one can become the newest or the one before.
constexpr const char* kGeneratorFigures =
    "UPDATE generators SET"
    " exposures_total = (SELECT l.exposures_total FROM reports l"
    "   WHERE l.id = generators.last_report_id),"
    " new_errors = (SELECT l.error_count FROM reports l WHERE l.id = generators.last_report_id)"
    "   - (SELECT p.error_count FROM reports p WHERE p.serial = generators.serial"
    "   AND (p.report_date < generators.last_report_date OR (p.report_date ="
    "   generators.last_report_date AND p.id < generators.last_report_id))"
    "   ORDER BY p.report_date DESC, p.id DESC LIMIT 1)";

// Error log rows go in statements of up to this many rows: one statement
// per report for the full log instead of fifty.
constexpr std::size_t kErrorRowsPerStatement = 50;

QString ErrorInsertSql(std::size_t rows) {
    QString sql =
        "INSERT INTO error_entries (report_id, entry, log_index, code, text, code1, code2,"
        " log_date, log_time) VALUES ";
    for (std::size_t i = 0; i < rows; ++i) {
        sql += i == 0 ? "(?, ?, ?, ?, ?, ?, ?, ?, ?)" : ", (?, ?, ?, ?, ?, ?, ?, ?, ?)";
    }
    return sql;
}

}  // namespace

// Stores made before the generators' rows kept their fleet figures get the
// columns, filled from the reports already there.
Status ReportStore::Impl::AddGeneratorFigures() {
    const Result<std::int64_t> present = Count(
        m_postgres
            ? "SELECT COUNT(*) FROM information_schema.columns WHERE table_schema ="
              " current_schema() AND table_name = 'generators' AND column_name = 'new_errors'"
            : "SELECT COUNT(*) FROM pragma_table_info('generators') WHERE name = 'new_errors'",
        {}, "look at the generators table");
    if (!present) {
        return Error{present.error()};
    }
    if (present.value() > 0) {
        return Done{};
    }
    for (const char* statement :
         {"ALTER TABLE generators ADD COLUMN exposures_total BIGINT NOT NULL DEFAULT 0",
          "ALTER TABLE generators ADD COLUMN new_errors BIGINT", kGeneratorFigures}) {
        if (Status done = Exec(statement); !done) {
            return done;
        }
    }
    return Done{};
}

Status ReportStore::Impl::InsertErrors(std::int64_t id, const std::vector<ErrorLogEntry>& errors) {
    for (std::size_t first = 0; first < errors.size(); first += kErrorRowsPerStatement) {
        const std::size_t rows = std::min(kErrorRowsPerStatement, errors.size() - first);
        Result<QSqlQuery*> prepared = Statement(ErrorInsertSql(rows));
        if (!prepared) {
            return Error{prepared.error()};
        }
        QSqlQuery& error = *prepared.value();
        int at = 0;
        for (std::size_t k = first; k < first + rows; ++k) {
            const ErrorLogEntry& e = errors[k];
            error.bindValue(at++, static_cast<qlonglong>(id));
            error.bindValue(at++, e.entry);
            error.bindValue(at++, e.logIndex);
            error.bindValue(at++, e.code);
            error.bindValue(at++, ToQ(e.text));
            error.bindValue(at++, e.code1);
            error.bindValue(at++, e.code2);
            error.bindValue(at++, ToQ(e.date));
            error.bindValue(at++, ToQ(e.time));
        }
        if (!error.exec()) {
            return QueryError("store error log", error);
        }
    }
    return Done{};
}

Result<StoreOutcome> ReportStore::Impl::Insert(const IndexedReport& r) {
    static const QString reportSql = ReportInsertSql();
    Result<QSqlQuery*> prepared = Statement(reportSql);
    if (!prepared) {
        return Error{prepared.error()};
    }
    QSqlQuery& q = *prepared.value();
    int at = 0;
    for (const std::string* text :
         {&r.sha256, &r.serial, &r.fileName, &r.sentName, &r.sender, &r.receivedAt}) {
        q.bindValue(at++, ToQ(*text));
    }
    q.bindValue(at++, static_cast<qlonglong>(r.content.size()));
    for (const std::string* text : {&r.dateText, &r.timeText, &r.reportDate}) {
        q.bindValue(at++, ToQ(*text));
    }
    for (const std::string& text : r.site) {
        q.bindValue(at++, ToQ(text));
    }
    for (const std::string* text :
         {&r.consoleVersion, &r.model, &r.power, &r.maxKv, &r.maxMa, &r.maxMas}) {
        q.bindValue(at++, ToQ(*text));
    }
    for (std::int64_t number :
         {r.exposuresTotal, r.exposuresToday, r.errorCount, r.heatUnitsTotal, r.heatUnitsToday,
          r.heatWarnings, r.errorLogCount, r.protocolLogCount}) {
        q.bindValue(at++, static_cast<qlonglong>(number));
    }
    if (!q.exec()) {
        return QueryError("store report", q);
    }
    if (!q.next()) {
        // The same bytes came in earlier in this batch, or from another
        // instance that committed first: one report.
        q.finish();
        Result<std::optional<std::int64_t>> found = FindSha(r.sha256);
        if (!found || !found.value()) {
            return Error{found ? "database: report vanished" : found.error()};
        }
        return StoreOutcome{true, *found.value()};
    }
    const std::int64_t id = q.value(0).toLongLong();
    q.finish();

    Result<QSqlQuery*> file =
        Statement("INSERT INTO report_files (report_id, content) VALUES (?, ?)");
    if (!file) {
        return Error{file.error()};
    }
    file.value()->bindValue(0, static_cast<qlonglong>(id));
    // The bytes are bound where they lie; the database copies them.
    file.value()->bindValue(
        1, QByteArray::fromRawData(r.content.data(), static_cast<qsizetype>(r.content.size())));
    const bool fileStored = file.value()->exec();
    // No reference to the report's bytes stays behind in the kept statement.
    file.value()->bindValue(1, QByteArray());
    if (!fileStored) {
        return QueryError("store report file", *file.value());
    }

    if (Status errors = InsertErrors(id, r.errors); !errors) {
        return Error{errors.error()};
    }
    Result<QSqlQuery*> block = Statement(
        "INSERT INTO protocol_blocks (report_id, block, row_count, rows_text) VALUES (?, ?, ?, ?)");
    if (!block) {
        return Error{block.error()};
    }
    for (const ProtocolBlock& b : r.protocol) {
        block.value()->bindValue(0, static_cast<qlonglong>(id));
        block.value()->bindValue(1, b.block);
        block.value()->bindValue(2, b.rows);
        block.value()->bindValue(3, ToQ(b.text));
        if (!block.value()->exec()) {
            return QueryError("store protocol log", *block.value());
        }
    }

    Result<QSqlQuery*> generator = Statement(kGeneratorUpsert);
    if (!generator) {
        return Error{generator.error()};
    }
    QSqlQuery& g = *generator.value();
    g.bindValue(0, ToQ(r.serial));
    g.bindValue(1, ToQ(r.model));
    g.bindValue(2, ToQ(r.Hospital()));
    g.bindValue(3, ToQ(r.Address()));
    g.bindValue(4, static_cast<qlonglong>(id));
    g.bindValue(5, ToQ(r.reportDate));
    g.bindValue(6, ToQ(r.receivedAt));
    if (!g.exec()) {
        return QueryError("update generator", g);
    }
    Result<QSqlQuery*> figures = Statement(QString(kGeneratorFigures) + " WHERE serial = ?");
    if (!figures) {
        return Error{figures.error()};
    }
    figures.value()->bindValue(0, ToQ(r.serial));
    if (!figures.value()->exec()) {
        return QueryError("update generator figures", *figures.value());
    }
    return StoreOutcome{false, id};
}

Result<StoreOutcome> ReportStore::Store(const IndexedReport& report) {
    Result<std::vector<StoreOutcome>> outcomes = StoreBatch({&report});
    if (!outcomes) {
        return Error{outcomes.error()};
    }
    return outcomes.value().front();
}

Result<std::vector<StoreOutcome>> ReportStore::StoreBatch(
    const std::vector<const IndexedReport*>& reports) {
    Impl& impl = *m_impl;
    std::vector<StoreOutcome> outcomes(reports.size());
    std::vector<bool> known(reports.size(), false);
    // Most repeats are found without taking the write lock.
    bool anyNew = false;
    for (std::size_t i = 0; i < reports.size(); ++i) {
        Result<std::optional<std::int64_t>> found = impl.FindSha(reports[i]->sha256);
        if (!found) {
            return Error{found.error()};
        }
        if (found.value()) {
            outcomes[i] = StoreOutcome{true, *found.value()};
            known[i] = true;
        } else {
            anyNew = true;
        }
    }
    if (!anyNew) {
        return outcomes;
    }
    // One transaction, one flush to disk for all of them.
    if (Status begun = impl.Begin(); !begun) {
        return Error{begun.error()};
    }
    for (std::size_t i = 0; i < reports.size(); ++i) {
        if (known[i]) {
            continue;
        }
        Result<StoreOutcome> outcome = impl.Insert(*reports[i]);
        if (!outcome) {
            impl.Rollback();
            return Error{outcome.error()};
        }
        outcomes[i] = outcome.value();
    }
    if (Status committed = impl.Commit(); !committed) {
        impl.Rollback();
        return Error{committed.error()};
    }
    return outcomes;
}

Status ReportStore::DeferCheckpoints() {
    Impl& impl = *m_impl;
    if (impl.m_postgres || impl.m_checkpointsDeferred) {
        return Done{};
    }
    if (Status set = impl.Exec("PRAGMA wal_autocheckpoint=0"); !set) {
        return set;
    }
    impl.m_checkpointsDeferred = true;
    return Done{};
}

Result<std::int64_t> ReportStore::Checkpoint() {
    Impl& impl = *m_impl;
    if (impl.m_postgres) {
        return std::int64_t{0};
    }
    Result<QSqlQuery*> prepared = impl.Statement("PRAGMA wal_checkpoint(PASSIVE)");
    if (!prepared) {
        return Error{prepared.error()};
    }
    QSqlQuery& q = *prepared.value();
    if (!q.exec() || !q.next()) {
        return QueryError("checkpoint", q);
    }
    // (busy, frames in the log, frames copied); -1 when not in WAL mode.
    const std::int64_t frames = std::max<qlonglong>(0, q.value(1).toLongLong());
    q.finish();
    return frames;
}

Result<std::vector<ReportSummary>> ReportStore::Reports(const ReportQuery& query) {
    QString sql = QString("SELECT ") + kReportColumns + " FROM reports r";
    QStringList where;
    QVariantList values;
    if (query.serial) {
        where << "r.serial = ?";
        values << ToQ(*query.serial);
    }
    if (query.since) {
        where << "r.report_date >= ?";
        values << ToQ(*query.since);
    }
    if (!where.isEmpty()) {
        sql += " WHERE " + where.join(" AND ");
    }
    sql += " ORDER BY r.report_date DESC, r.id DESC LIMIT ? OFFSET ?";
    values << Q(query.limit) << Q(query.offset);
    return AllRows(m_impl->Run(sql, values, "list reports"), ReadSummary);
}

Result<std::optional<ReportSummary>> ReportStore::Report(std::int64_t id) {
    return FirstRow(
        m_impl->Run(QString("SELECT ") + kReportColumns + " FROM reports r WHERE r.id = ?", {Q(id)},
                    "read report"),
        ReadSummary);
}

Result<std::optional<StoredFile>> ReportStore::File(std::int64_t id) {
    return FirstRow(
        m_impl->Run("SELECT r.file_name, f.content FROM reports r"
                    " JOIN report_files f ON f.report_id = r.id WHERE r.id = ?",
                    {Q(id)}, "read report file"),
        [](const QSqlQuery& q) {
            const QByteArray bytes = q.value(1).toByteArray();
            return StoredFile{FromQ(q.value(0)), std::string(bytes.constData(), bytes.size())};
        });
}

Result<std::vector<ErrorLogEntry>> ReportStore::Errors(std::int64_t id) {
    return AllRows(m_impl->Run("SELECT entry, log_index, code, text, code1, code2, log_date,"
                               " log_time FROM error_entries WHERE report_id = ? ORDER BY entry",
                               {Q(id)}, "read error log"),
                   [](const QSqlQuery& q) {
                       return ErrorLogEntry{q.value(0).toInt(), q.value(1).toInt(),
                                            q.value(2).toInt(), FromQ(q.value(3)),
                                            q.value(4).toInt(), q.value(5).toInt(),
                                            FromQ(q.value(6)),  FromQ(q.value(7))};
                   });
}

Result<std::vector<ProtocolBlock>> ReportStore::Protocol(std::int64_t id) {
    return AllRows(
        m_impl->Run("SELECT block, row_count, rows_text FROM protocol_blocks"
                    " WHERE report_id = ? ORDER BY block",
                    {Q(id)}, "read protocol log"),
        [](const QSqlQuery& q) {
            return ProtocolBlock{q.value(0).toInt(), q.value(1).toInt(), FromQ(q.value(2))};
        });
}

Result<std::vector<GeneratorSummary>> ReportStore::Generators(std::int64_t limit,
                                                              std::int64_t offset) {
    return AllRows(
        m_impl->Run(QString("SELECT ") + kGeneratorColumns +
                        " FROM generators ORDER BY last_report_date DESC, serial LIMIT ? OFFSET ?",
                    {Q(limit), Q(offset)}, "list generators"),
        ReadGenerator);
}

Result<std::optional<GeneratorSummary>> ReportStore::Generator(const std::string& serial) {
    return FirstRow(
        m_impl->Run(QString("SELECT ") + kGeneratorColumns + " FROM generators WHERE serial = ?",
                    {ToQ(serial)}, "read generator"),
        ReadGenerator);
}

Result<std::int64_t> ReportStore::ReportCount() {
    return m_impl->Count("SELECT COUNT(*) FROM reports", {}, "count reports");
}

namespace {

// A LIKE pattern that finds the text anywhere, its own % _ \ taken literally.
// No stored text holds a zero byte (PostgreSQL refuses one): it is dropped.
QString ContainsPattern(const std::string& text) {
    QString pattern = "%";
    for (const QChar c : ToQ(text).toLower()) {
        if (c.isNull()) {
            continue;
        }
        if (c == '%' || c == '_' || c == '\\') {
            pattern += '\\';
        }
        pattern += c;
    }
    return pattern + "%";
}

constexpr const char* kFleetWhere =
    " WHERE (LOWER(g.serial) LIKE ? ESCAPE '\\' OR LOWER(g.hospital) LIKE ? ESCAPE '\\')";

// The values kFleetWhere binds: none without a search.
QVariantList SearchValues(const std::string& search) {
    if (search.empty()) {
        return {};
    }
    const QString pattern = ContainsPattern(search);
    return {pattern, pattern};
}

// The report before report r of the same generator, in the lists' order.
constexpr const char* kPreviousOf =
    "SELECT p.%1 FROM reports p WHERE p.serial = r.serial AND (p.report_date < r.report_date"
    " OR (p.report_date = r.report_date AND p.id < r.id))"
    " ORDER BY p.report_date DESC, p.id DESC LIMIT 1";

QString FleetOrder(FleetSort sort) {
    switch (sort) {
        case FleetSort::Serial:
            return "serial";
        case FleetSort::Model:
            return "model";
        case FleetSort::Hospital:
            return "hospital";
        case FleetSort::Address:
            return "address";
        case FleetSort::LastReport:
            return "last_report_date";
        case FleetSort::Exposures:
            return "exposures_total";
        case FleetSort::NewErrors:
            return "new_errors";
    }
    return "last_report_date";
}

}  // namespace

Result<std::vector<FleetRow>> ReportStore::Fleet(const FleetQuery& query) {
    const QString direction = query.descending ? " DESC" : " ASC";
    const QString column = FleetOrder(query.sort);
    // Only the growth of errors can be missing; the serial keeps pages stable.
    const QString order =
        (query.sort == FleetSort::NewErrors ? "(" + column + " IS NULL), " : QString()) + column +
        direction + ", serial" + direction;
    const QString sql =
        QString("SELECT ") + kGeneratorColumns + ", exposures_total, new_errors FROM generators g" +
        (query.search.empty() ? "" : kFleetWhere) + " ORDER BY " + order + " LIMIT ? OFFSET ?";
    QVariantList values = SearchValues(query.search);
    values << Q(query.limit) << Q(query.offset);
    return AllRows(m_impl->Run(sql, values, "list fleet"), [](const QSqlQuery& q) {
        FleetRow row;
        row.generator = ReadGenerator(q);
        row.exposuresTotal = q.value(8).toLongLong();
        if (!q.value(9).isNull()) {
            row.newErrors = q.value(9).toLongLong();
        }
        return row;
    });
}

Result<std::int64_t> ReportStore::FleetCount(const std::string& search) {
    return m_impl->Count(
        QString("SELECT COUNT(*) FROM generators g") + (search.empty() ? "" : kFleetWhere),
        SearchValues(search), "count fleet");
}

Result<std::optional<std::int64_t>> ReportStore::PreviousReport(std::int64_t id) {
    Result<std::optional<std::optional<std::int64_t>>> previous = FirstRow(
        m_impl->Run("SELECT (" + QString(kPreviousOf).arg("id") + ") FROM reports r WHERE r.id = ?",
                    {Q(id)}, "find previous report"),
        [](const QSqlQuery& q) {
            return q.value(0).isNull() ? std::optional<std::int64_t>()
                                       : std::optional<std::int64_t>(q.value(0).toLongLong());
        });
    if (!previous) {
        return Error{previous.error()};
    }
    return previous->value_or(std::nullopt);
}

Result<std::vector<ErrorCodeCount>> ReportStore::ErrorCodes(const std::string& serial) {
    // An entry stays in the console's log and comes again with every later
    // report: the same entry is counted once.
    return AllRows(
        m_impl->Run(
            "SELECT code, MAX(text), COUNT(*) FROM (SELECT DISTINCT e.code, e.text, e.log_index,"
            " e.code1, e.code2, e.log_date, e.log_time FROM error_entries e"
            " JOIN reports r ON r.id = e.report_id WHERE r.serial = ?) AS entries"
            " GROUP BY code ORDER BY COUNT(*) DESC, code",
            {ToQ(serial)}, "count error codes"),
        [](const QSqlQuery& q) {
            return ErrorCodeCount{q.value(0).toInt(), FromQ(q.value(1)), q.value(2).toLongLong()};
        });
}

Result<std::vector<ServiceEntry>> ReportStore::ServiceHistory(const std::string& serial) {
    return AllRows(
        m_impl->Run("SELECT history_date, history_cause, history_action, engineer_name, MIN(id),"
                    " MIN(report_date) FROM reports WHERE serial = ? AND (history_date <> ''"
                    " OR history_cause <> '' OR history_action <> '')"
                    " GROUP BY history_date, history_cause, history_action, engineer_name"
                    " ORDER BY MIN(report_date) DESC, MIN(id) DESC",
                    {ToQ(serial)}, "read service history"),
        [](const QSqlQuery& q) {
            return ServiceEntry{FromQ(q.value(0)), FromQ(q.value(1)),       FromQ(q.value(2)),
                                FromQ(q.value(3)), q.value(4).toLongLong(), FromQ(q.value(5))};
        });
}

Status ReportStore::Ping() {
    const Result<std::int64_t> one = m_impl->Count("SELECT 1", {}, "ping");
    return one ? Status(Done{}) : Status(Error{one.error()});
}

Status ReportStore::PutUser(const std::string& name, const std::string& passwordHash) {
    if (Status stored = m_impl->RunOnly(
            "INSERT INTO users (name, password_hash) VALUES (?, ?)"
            " ON CONFLICT (name) DO UPDATE SET password_hash = excluded.password_hash",
            {ToQ(name), ToQ(passwordHash)}, "store user");
        !stored) {
        return stored;
    }
    // A new password ends the sessions opened with the old one.
    return m_impl->RunOnly("DELETE FROM sessions WHERE user_name = ?", {ToQ(name)}, "end sessions");
}

Result<bool> ReportStore::DeleteUser(const std::string& name) {
    Result<std::unique_ptr<QSqlQuery>> deleted =
        m_impl->Run("DELETE FROM users WHERE name = ?", {ToQ(name)}, "remove user");
    if (!deleted) {
        return Error{deleted.error()};
    }
    // Read before the next statement: SQLite counts the connection's last one.
    const bool removed = (*deleted)->numRowsAffected() > 0;
    if (const Status ended = m_impl->RunOnly("DELETE FROM sessions WHERE user_name = ?",
                                             {ToQ(name)}, "end sessions");
        !ended) {
        return Error{ended.error()};
    }
    return removed;
}

Result<std::optional<std::string>> ReportStore::PasswordHash(const std::string& name) {
    return FirstRow(
        m_impl->Run("SELECT password_hash FROM users WHERE name = ?", {ToQ(name)}, "read user"),
        [](const QSqlQuery& q) { return FromQ(q.value(0)); });
}

Status ReportStore::AddSession(const std::string& tokenHash, const std::string& user,
                               std::int64_t expiresAt) {
    // Sessions that ended days before this one began are of no use to anyone.
    if (Status forgotten =
            m_impl->RunOnly("DELETE FROM sessions WHERE expires_at < ?",
                            {Q(expiresAt - std::int64_t{2} * 24 * 3600)}, "forget sessions");
        !forgotten) {
        return forgotten;
    }
    return m_impl->RunOnly(
        "INSERT INTO sessions (token_hash, user_name, expires_at) VALUES (?, ?, ?)",
        {ToQ(tokenHash), ToQ(user), Q(expiresAt)}, "store session");
}

Result<std::optional<std::string>> ReportStore::SessionUser(const std::string& tokenHash,
                                                            std::int64_t now) {
    // The user must still exist: removing a user ends its sessions at once.
    return FirstRow(
        m_impl->Run("SELECT s.user_name FROM sessions s JOIN users u"
                    " ON u.name = s.user_name WHERE s.token_hash = ? AND s.expires_at > ?",
                    {ToQ(tokenHash), Q(now)}, "read session"),
        [](const QSqlQuery& q) { return FromQ(q.value(0)); });
}

Status ReportStore::DeleteSession(const std::string& tokenHash) {
    return m_impl->RunOnly("DELETE FROM sessions WHERE token_hash = ?", {ToQ(tokenHash)},
                           "end session");
}

Result<std::int64_t> ReportStore::CountFailures(const std::string& address, std::int64_t since) {
    return m_impl->Count("SELECT COUNT(*) FROM login_failures WHERE address = ? AND at >= ?",
                         {ToQ(address), Q(since)}, "count failed logins");
}

Status ReportStore::AddFailure(const std::string& address, std::int64_t at,
                               std::int64_t forgetBefore) {
    if (Status forgotten = m_impl->RunOnly("DELETE FROM login_failures WHERE at < ?",
                                           {Q(forgetBefore)}, "forget failed logins");
        !forgotten) {
        return forgotten;
    }
    if (Status counted = m_impl->RunOnly("INSERT INTO login_failures (address, at) VALUES (?, ?)",
                                         {ToQ(address), Q(at)}, "count failed login");
        !counted) {
        return counted;
    }
    // Expired sessions go at the same rare moment.
    return m_impl->RunOnly("DELETE FROM sessions WHERE expires_at < ?", {Q(forgetBefore)},
                           "forget sessions");
}

}  // namespace vok::center
