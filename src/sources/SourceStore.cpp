#include "SourceStore.h"

#include "text/CodePage.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace fs = std::filesystem;

namespace {

constexpr const char *kCreateTable =
    "CREATE TABLE xiaoshuo ("
    "ID INTEGER PRIMARY KEY AUTOINCREMENT, "
    "名称 TEXT, BB TEXT, CC TEXT, DD TEXT, EE TEXT, FF TEXT, GG TEXT, HH TEXT, RQ TEXT)";
constexpr const char *kSelectAll = "SELECT * FROM xiaoshuo ORDER BY ID";
constexpr const char *kSelectLast = "SELECT * FROM xiaoshuo ORDER BY ID DESC LIMIT 1";
constexpr const char *kInsert =
    "INSERT INTO xiaoshuo (名称, BB, CC, DD, EE, FF, GG, HH, RQ) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)";
constexpr const char *kUpdate =
    "UPDATE xiaoshuo SET 名称 = ?1, BB = ?2, CC = ?3, DD = ?4, EE = ?5, FF = ?6, GG = ?7, HH = ?8, RQ = ?9 "
    "WHERE ID = ?10";
constexpr const char *kDelete = "DELETE FROM xiaoshuo WHERE ID = ?1";
constexpr int kColumnCount = 10;

struct StatementFinalizer {
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

StoreStatus StatusOf(int code)
{
    switch (code & 0xff) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW: return StoreStatus::Ok;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return StoreStatus::Busy;
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM: return StoreStatus::ReadOnly;
    case SQLITE_NOTADB: return StoreStatus::NotOpen;
    default: return StoreStatus::Rejected;
    }
}

Statement Prepare(sqlite3 *db, const char *sql, int *code = nullptr)
{
    sqlite3_stmt *statement = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    if (code != nullptr)
        *code = rc;
    return Statement(rc == SQLITE_OK ? statement : nullptr);
}

// Empty fields are kept as "0", as every version of the program has done.
std::string StoredForm(const std::string &text)
{
    return text.empty() ? std::string("0") : text;
}

bool BindText(sqlite3_stmt *statement, int index, const std::string &gbk)
{
    const std::string utf8 = GbkToUtf8(gbk);
    return sqlite3_bind_text(statement, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT) ==
           SQLITE_OK;
}

bool BindTexts(sqlite3_stmt *statement, const ActiveSource &texts, const std::string &date)
{
    const std::string *fields[] = {&texts.name,        &texts.searchAddress,   &texts.searchList,
                                   &texts.workData,    &texts.workPicture,     &texts.tableOfContents,
                                   &texts.chapterLink, &texts.chapterContent};
    int index = 1;
    for (const std::string *field : fields) {
        if (!BindText(statement, index++, StoredForm(*field)))
            return false;
    }
    return BindText(statement, index, date);
}

// The ID as the list shows it ("%.13g" of the stored number) back to the key.
std::optional<sqlite3_int64> ParseId(const std::string &id)
{
    if (id.empty())
        return std::nullopt;
    char *end = nullptr;
    const double value = std::strtod(id.c_str(), &end);
    if (end != id.c_str() + id.size() || !std::isfinite(value) || value != std::floor(value) ||
        std::fabs(value) > 9.0e18)
        return std::nullopt;
    return static_cast<sqlite3_int64>(value);
}

std::string IdText(double id)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.13g", id);
    return buffer;
}

std::string ColumnText(sqlite3_stmt *statement, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    if (text == nullptr)
        return {};
    return Utf8ToGbk(std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(statement, column))));
}

SourceRecord ReadRow(sqlite3_stmt *statement)
{
    SourceRecord row;
    row.id = IdText(sqlite3_column_double(statement, 0));
    std::string *fields[] = {&row.source.name,        &row.source.searchAddress,   &row.source.searchList,
                             &row.source.workData,    &row.source.workPicture,     &row.source.tableOfContents,
                             &row.source.chapterLink, &row.source.chapterContent,  &row.date};
    int column = 1;
    for (std::string *field : fields)
        *field = ColumnText(statement, column++);
    return row;
}

} // namespace

const char *StoreStatusText(StoreStatus status)
{
    switch (status) {
    case StoreStatus::Ok: return "done";
    case StoreStatus::NotOpen: return "the source store could not be opened";
    case StoreStatus::Missing: return "the source store file is missing";
    case StoreStatus::Busy: return "the source store is locked by another program; try again later";
    case StoreStatus::ReadOnly: return "the source store cannot be written (read-only)";
    case StoreStatus::NoSuchRow: return "no source has that ID";
    case StoreStatus::Rejected: return "the source store refused the change";
    }
    return "unknown store status";
}

SourceStore::~SourceStore()
{
    Close();
}

bool SourceStore::Open(const fs::path &file, Mode mode)
{
    Close();
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return false;
    const int flags = mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (sqlite3_open_v2(file.c_str(), &m_db, flags, nullptr) != SQLITE_OK) {
        Close();
        return false;
    }
    m_file = file;
    sqlite3_busy_timeout(m_db, m_busyTimeoutMs);
    // A file that is not a database, or lacks the table, is no store. A lock
    // held by another program is no reason to give up on the file.
    int code = SQLITE_OK;
    const Statement probe = Prepare(m_db, kSelectLast, &code);
    if (!probe && StatusOf(code) != StoreStatus::Busy) {
        Close();
        return false;
    }
    return true;
}

bool SourceStore::Create(const fs::path &file)
{
    Close();
    std::error_code ec;
    if (fs::exists(file, ec))
        return false;
    if (sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        Close();
        return false;
    }
    m_file = file;
    sqlite3_busy_timeout(m_db, m_busyTimeoutMs);
    if (!Execute(kCreateTable)) {
        Close();
        fs::remove(file, ec);
        return false;
    }
    return true;
}

void SourceStore::Close()
{
    if (m_db != nullptr)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_file.clear();
}

void SourceStore::SetBusyTimeout(int milliseconds)
{
    m_busyTimeoutMs = milliseconds;
    if (m_db != nullptr)
        sqlite3_busy_timeout(m_db, milliseconds);
}

std::vector<SourceRecord> SourceStore::ListAll(StoreResult *result) const
{
    std::vector<SourceRecord> rows;
    StoreResult outcome;
    if (m_db == nullptr) {
        outcome.status = StoreStatus::NotOpen;
    } else {
        int code = SQLITE_OK;
        const Statement query = Prepare(m_db, kSelectAll, &code);
        if (!query || sqlite3_column_count(query.get()) < kColumnCount) {
            outcome.status = query ? StoreStatus::Rejected : StatusOf(code);
        } else {
            while ((code = sqlite3_step(query.get())) == SQLITE_ROW)
                rows.push_back(ReadRow(query.get()));
            if (code != SQLITE_DONE) {
                rows.clear();
                outcome.status = StatusOf(code);
            }
        }
    }
    if (result != nullptr)
        *result = outcome;
    return rows;
}

std::optional<SourceRecord> SourceStore::ReadLast() const
{
    if (m_db == nullptr)
        return std::nullopt;
    const Statement query = Prepare(m_db, kSelectLast);
    if (!query || sqlite3_column_count(query.get()) < kColumnCount || sqlite3_step(query.get()) != SQLITE_ROW)
        return std::nullopt;
    return ReadRow(query.get());
}

StoreResult SourceStore::CheckWritable() const
{
    if (m_db == nullptr)
        return {StoreStatus::NotOpen};
    // SQLite would go on writing into a file that was deleted or moved away
    // under it; the user would lose every change.
    std::error_code ec;
    if (!fs::is_regular_file(m_file, ec))
        return {StoreStatus::Missing};
    return {};
}

StoreResult SourceStore::Execute(const char *sql) const
{
    return {StatusOf(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr))};
}

StoreResult SourceStore::InsertRow(const ActiveSource &texts, const std::string &date)
{
    int code = SQLITE_OK;
    const Statement statement = Prepare(m_db, kInsert, &code);
    if (!statement)
        return {StatusOf(code)};
    if (!BindTexts(statement.get(), texts, date))
        return {StoreStatus::Rejected};
    return {StatusOf(sqlite3_step(statement.get()))};
}

StoreResult SourceStore::Insert(const ActiveSource &texts, const std::string &date)
{
    if (const StoreResult check = CheckWritable(); !check)
        return check;
    return InsertRow(texts, date);
}

StoreResult SourceStore::InsertAll(const std::vector<SourceRecord> &rows)
{
    if (const StoreResult check = CheckWritable(); !check)
        return check;
    if (const StoreResult begin = Execute("BEGIN IMMEDIATE"); !begin)
        return begin;
    for (const SourceRecord &row : rows) {
        if (const StoreResult inserted = InsertRow(row.source, row.date); !inserted) {
            Execute("ROLLBACK");
            return inserted;
        }
    }
    const StoreResult commit = Execute("COMMIT");
    if (!commit)
        Execute("ROLLBACK");
    return commit;
}

StoreResult SourceStore::Update(const std::string &id, const ActiveSource &texts, const std::string &date)
{
    if (const StoreResult check = CheckWritable(); !check)
        return check;
    const std::optional<sqlite3_int64> key = ParseId(id);
    if (!key)
        return {StoreStatus::NoSuchRow};
    int code = SQLITE_OK;
    const Statement statement = Prepare(m_db, kUpdate, &code);
    if (!statement)
        return {StatusOf(code)};
    if (!BindTexts(statement.get(), texts, date) || sqlite3_bind_int64(statement.get(), 10, *key) != SQLITE_OK)
        return {StoreStatus::Rejected};
    if (const StoreStatus status = StatusOf(sqlite3_step(statement.get())); status != StoreStatus::Ok)
        return {status};
    return {sqlite3_changes(m_db) > 0 ? StoreStatus::Ok : StoreStatus::NoSuchRow};
}

StoreResult SourceStore::Delete(const std::string &id)
{
    if (const StoreResult check = CheckWritable(); !check)
        return check;
    const std::optional<sqlite3_int64> key = ParseId(id);
    if (!key)
        return {StoreStatus::NoSuchRow};
    int code = SQLITE_OK;
    const Statement statement = Prepare(m_db, kDelete, &code);
    if (!statement)
        return {StatusOf(code)};
    if (sqlite3_bind_int64(statement.get(), 1, *key) != SQLITE_OK)
        return {StoreStatus::Rejected};
    if (const StoreStatus status = StatusOf(sqlite3_step(statement.get())); status != StoreStatus::Ok)
        return {status};
    return {sqlite3_changes(m_db) > 0 ? StoreStatus::Ok : StoreStatus::NoSuchRow};
}
