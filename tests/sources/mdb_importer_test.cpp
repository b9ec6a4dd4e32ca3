#include "sources/MdbImporter.h"
#include "support/TempFolder.h"
#include "text/CodePage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// A genuine Access (Jet 4) file: table Users, five columns, three rows.
fs::path UsersMdb()
{
    return fs::path(__FILE__).parent_path() / "data" / "users.mdb";
}

TEST(MdbImporter, ReadsARealAccessTableInOrderAsUtf8)
{
    const MdbTable table = ReadMdbTable(UsersMdb(), "Users");
    ASSERT_TRUE(table.readable) << table.problem;
    EXPECT_EQ(table.columns, 5u);
    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(table.rows[0][0], "1");
    EXPECT_EQ(table.rows[0][1], "Nuintun");
    EXPECT_EQ(table.rows[2][1], "张三");
    EXPECT_EQ(table.rows[2][2], "男");
}

struct UnreadableCase {
    const char *label;
    std::string bytes; // the file's content; empty: the genuine file without xiaoshuo
    const char *problem;
};

class MdbUnreadable : public ::testing::TestWithParam<UnreadableCase> {};

TEST_P(MdbUnreadable, ReportsOneCalmLineAndImportsNothing)
{
    const UnreadableCase &c = GetParam();
    TempFolder folder;
    const fs::path file = folder.path() / kMdbFileName;
    if (c.bytes.empty())
        fs::copy_file(UsersMdb(), file);
    else
        std::ofstream(file, std::ios::binary) << c.bytes;
    const MdbImport import = ReadMdbSources(file);
    EXPECT_FALSE(import.readable);
    EXPECT_TRUE(import.rows.empty());
    EXPECT_EQ(import.problem, std::string("voldTorva.mdb: ") + c.problem + "; nothing imported");
}

std::string JetHeaderThenZeros()
{
    std::string bytes(8192, '\0');
    bytes.replace(0, 20, std::string("\x00\x01\x00\x00Standard Jet DB\x00", 20));
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, MdbUnreadable,
    ::testing::Values(UnreadableCase{"text", "ID,名称\n1,站A\n", "not an Access database"},
                      UnreadableCase{"tiny", "x", "not an Access database"},
                      UnreadableCase{"header_only", JetHeaderThenZeros(), "not a readable Access database"},
                      UnreadableCase{"no_table", "", "has no table xiaoshuo"}),
    [](const auto &info) { return std::string(info.param.label); });

TEST(MdbImporter, MapsCellsByPositionKeepingStoredForms)
{
    const std::vector<std::string> cells = {"7",  "站A", "s?q=", "<a href=Torva替换(.*?)Torva替换>",
                                            "0",  "0",   "0",    "0",
                                            "0",  "2026年12月9日"};
    const std::optional<SourceRecord> row = SourceFromMdbCells(cells);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->id, "");
    EXPECT_EQ(row->source.name, Utf8ToGbk("站A"));
    EXPECT_EQ(row->source.searchList, Utf8ToGbk("<a href=Torva替换(.*?)Torva替换>"));
    EXPECT_EQ(row->source.chapterContent, "0");
    EXPECT_EQ(row->date, Utf8ToGbk("2026年12月9日"));

    EXPECT_FALSE(SourceFromMdbCells(std::vector<std::string>(9, "x")));
}

} // namespace
