#pragma once

#include "sources/SourceRecord.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Reads the sources out of the Access file "voldTorva.mdb" that the Windows
// program kept, so that a user moving over keeps his sources. The file is
// only read. The reading (libmdb) and the turning of a row's cells into a
// source are separate steps, so the mapping can be checked without a file.

struct MdbImport {
    bool readable = false;           // the file is an Access database with the table
    std::vector<SourceRecord> rows;  // in the file's order; IDs are left empty
    std::string problem;             // one calm English line when not readable
};

// The Access file's name in the program folder.
inline constexpr const char *kMdbFileName = "voldTorva.mdb";

MdbImport ReadMdbSources(const std::filesystem::path &file);

// Any table of an Access file, every column as UTF-8 text, rows in the
// file's order. The step under ReadMdbSources.
struct MdbTable {
    bool readable = false;
    size_t columns = 0;
    std::vector<std::vector<std::string>> rows;
    std::string problem;
};
MdbTable ReadMdbTable(const std::filesystem::path &file, const std::string &tableName);

// One row of table `xiaoshuo`, its cells by position (ID, 名称, BB .. HH, RQ)
// as UTF-8 text. The stored forms (the quote token, "0") are kept as they
// are; the Access ID is dropped, the new store numbers the rows itself.
// Nothing when the row has fewer than ten cells.
std::optional<SourceRecord> SourceFromMdbCells(const std::vector<std::string> &utf8Cells);
