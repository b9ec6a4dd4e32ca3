#include "MdbImporter.h"

#include "text/CodePage.h"

#include <mdbtools.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace {

constexpr size_t kSourceColumns = 10;
// Memo columns hold whole expressions; bind room for long ones.
constexpr size_t kBindSize = 1 << 20;

// Every Jet 3/4 and ACE file names its engine at byte 4.
bool HasAccessSignature(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::array<char, 20> head{};
    if (!in.read(head.data(), head.size()))
        return false;
    const std::string_view name(head.data() + 4, 15);
    return name == "Standard Jet DB" || name == "Standard ACE DB";
}

struct MdbCloser {
    void operator()(MdbHandle *mdb) const { mdb_close(mdb); }
};
struct TableFreer {
    void operator()(MdbTableDef *table) const { mdb_free_tabledef(table); }
};

MdbTable Unreadable(const fs::path &file, const std::string &why)
{
    MdbTable result;
    result.problem = file.filename().string() + ": " + why + "; nothing imported";
    return result;
}

void ReadRows(MdbTableDef *table, MdbTable &result)
{
    const size_t columns = table->num_cols;
    std::vector<std::vector<char>> buffers(columns, std::vector<char>(kBindSize + 1, '\0'));
    std::vector<int> lengths(columns, 0);
    for (size_t i = 0; i < columns; ++i)
        mdb_bind_column(table, static_cast<int>(i + 1), buffers[i].data(), &lengths[i]);
    mdb_rewind_table(table);
    while (mdb_fetch_row(table)) {
        std::vector<std::string> cells;
        cells.reserve(columns);
        for (size_t i = 0; i < columns; ++i)
            cells.emplace_back(buffers[i].data(), ::strnlen(buffers[i].data(), kBindSize));
        result.rows.push_back(std::move(cells));
    }
}

} // namespace

MdbTable ReadMdbTable(const fs::path &file, const std::string &tableName)
{
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return Unreadable(file, "not found");
    if (!HasAccessSignature(file))
        return Unreadable(file, "not an Access database");

    // Files of Access 97 and older carry no character set of their own; the
    // Windows program wrote them in the Chinese code page.
    ::setenv("MDB_JET3_CHARSET", "CP936", 0);
    std::unique_ptr<MdbHandle, MdbCloser> mdb(mdb_open(file.c_str(), MDB_NOFLAGS));
    if (!mdb || mdb_read_catalog(mdb.get(), MDB_TABLE) == nullptr)
        return Unreadable(file, "not a readable Access database");
    mdb_set_bind_size(mdb.get(), kBindSize);
    std::string name = tableName;
    std::unique_ptr<MdbTableDef, TableFreer> table(mdb_read_table_by_name(mdb.get(), name.data(), MDB_TABLE));
    if (!table)
        return Unreadable(file, "has no table " + tableName);
    if (mdb_read_columns(table.get()) == nullptr)
        return Unreadable(file, "table " + tableName + " cannot be read");

    MdbTable result;
    result.readable = true;
    result.columns = table->num_cols;
    ReadRows(table.get(), result);
    return result;
}

std::optional<SourceRecord> SourceFromMdbCells(const std::vector<std::string> &utf8Cells)
{
    if (utf8Cells.size() < kSourceColumns)
        return std::nullopt;
    SourceRecord row;
    std::string *fields[] = {&row.source.name,        &row.source.searchAddress,  &row.source.searchList,
                             &row.source.workData,    &row.source.workPicture,    &row.source.tableOfContents,
                             &row.source.chapterLink, &row.source.chapterContent, &row.date};
    size_t cell = 1;
    for (std::string *field : fields)
        *field = Utf8ToGbk(utf8Cells[cell++]);
    return row;
}

MdbImport ReadMdbSources(const fs::path &file)
{
    MdbTable table = ReadMdbTable(file, "xiaoshuo");
    MdbImport result;
    if (!table.readable) {
        result.problem = std::move(table.problem);
        return result;
    }
    if (table.columns < kSourceColumns) {
        result.problem = file.filename().string() + ": table xiaoshuo has fewer than ten columns; nothing imported";
        return result;
    }
    result.readable = true;
    for (const std::vector<std::string> &cells : table.rows) {
        if (std::optional<SourceRecord> row = SourceFromMdbCells(cells))
            result.rows.push_back(std::move(*row));
    }
    return result;
}
