#pragma once

#include "sources/SourceRecord.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

// Why a store operation did not do what was asked.
enum class StoreStatus {
    Ok,
    NotOpen,  // the store was never opened, or is not a database
    Missing,  // the file has gone from the program folder since it was opened
    Busy,     // another program holds the file locked
    ReadOnly, // the file or its folder cannot be written
    NoSuchRow,
    Rejected, // any other refusal (a broken table, a full disk, ...)
};

struct StoreResult {
    StoreStatus status = StoreStatus::Ok;
    explicit operator bool() const { return status == StoreStatus::Ok; }
};

// One calm English line for the terminal.
const char *StoreStatusText(StoreStatus status);

// The sources the user has defined: an SQLite file in the program folder,
// table `xiaoshuo` with the columns ID, 名称, BB .. HH, RQ in this order. Rows
// come back in the order they were added; ID is assigned on insert and never
// reused.
//
// Texts cross this class in the program's code page and are kept as UTF-8 in
// the file. Every statement binds its values, so no text (a name with an
// apostrophe, say) can change a statement. The texts are stored as given,
// except that an empty field is stored as "0": escaping the expressions'
// apostrophes is the caller's step (see QuoteToken.h), because the dialogs
// show the escaped texts.
class SourceStore {
public:
    static constexpr const char *kFileName = "voldTorva.db";

    enum class Mode { ReadWrite, ReadOnly };

    SourceStore() = default;
    ~SourceStore();
    SourceStore(const SourceStore &) = delete;
    SourceStore &operator=(const SourceStore &) = delete;

    // Opens an existing store file. False when it is missing or is not a
    // database with the table.
    bool Open(const std::filesystem::path &file, Mode mode = Mode::ReadWrite);
    // Makes a new file holding the empty table. False when the file exists.
    bool Create(const std::filesystem::path &file);
    void Close();
    bool IsOpen() const { return m_db != nullptr; }
    const std::filesystem::path &file() const { return m_file; }

    // How long a statement waits for another program's lock before it gives
    // up with StoreStatus::Busy.
    void SetBusyTimeout(int milliseconds);

    // All rows in order; none when the store cannot be read.
    std::vector<SourceRecord> ListAll(StoreResult *result = nullptr) const;
    // The row added last.
    std::optional<SourceRecord> ReadLast() const;

    // Adds a row: the name and seven texts as given (empty ones as "0") and
    // `date` (see SourceDate.h).
    StoreResult Insert(const ActiveSource &texts, const std::string &date);
    // Adds the rows in order, all or none.
    StoreResult InsertAll(const std::vector<SourceRecord> &rows);
    // Replaces the texts and the date of the row whose ID text is `id`.
    StoreResult Update(const std::string &id, const ActiveSource &texts, const std::string &date);
    StoreResult Delete(const std::string &id);

private:
    StoreResult CheckWritable() const;
    StoreResult InsertRow(const ActiveSource &texts, const std::string &date);
    StoreResult Execute(const char *sql) const;

    sqlite3 *m_db = nullptr;
    std::filesystem::path m_file;
    int m_busyTimeoutMs = 2000;
};
