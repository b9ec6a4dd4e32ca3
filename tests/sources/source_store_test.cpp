#include "sources/SourceStore.h"
#include "support/ImmutableFile.h"
#include "support/TempFolder.h"
#include "text/CodePage.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

std::string G(const char *utf8)
{
    return Utf8ToGbk(utf8);
}

const std::string &Date()
{
    static const std::string date = G("2026年12月9日");
    return date;
}

ActiveSource Named(const std::string &name)
{
    ActiveSource source;
    source.name = name;
    source.searchAddress = "s?q=";
    return source;
}

// A second connection to the same file, as another program would hold it.
class RawConnection {
public:
    explicit RawConnection(const fs::path &file) { sqlite3_open(file.c_str(), &m_db); }
    ~RawConnection() { sqlite3_close(m_db); }
    int Exec(const std::string &sql) { return sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr); }
    std::string One(const std::string &sql)
    {
        sqlite3_stmt *statement = nullptr;
        std::string text;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0) != nullptr)
            text = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
        return text;
    }

private:
    sqlite3 *m_db = nullptr;
};

class SourceStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(store.Create(file));
        store.SetBusyTimeout(100);
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const SourceRecord &row : store.ListAll())
            names.push_back(row.source.name);
        return names;
    }

    TempFolder folder;
    fs::path file = folder.path() / SourceStore::kFileName;
    SourceStore store;
};

TEST_F(SourceStoreTest, TableHasTheTenColumnsInOrderAndKeepsUtf8)
{
    ASSERT_TRUE(store.Insert(Named(G("站A")), Date()));
    RawConnection raw(file);
    EXPECT_EQ(raw.One("SELECT group_concat(name, ',') FROM pragma_table_info('xiaoshuo')"),
              "ID,名称,BB,CC,DD,EE,FF,GG,HH,RQ");
    EXPECT_EQ(raw.One("SELECT 名称 || RQ FROM xiaoshuo"), "站A2026年12月9日");
}

TEST_F(SourceStoreTest, StoresTextsAsGivenAndEmptyFieldsAsZero)
{
    const ActiveSource boxes{"", " ", G("<a href=Torva替换(.*?)Torva替换>"), "", "", "", "", "x"};
    ASSERT_TRUE(store.Insert(boxes, Date()));
    const std::vector<SourceRecord> rows = store.ListAll();
    ASSERT_EQ(rows.size(), 1u);
    const SourceRecord expected{"1", {"0", " ", boxes.searchList, "0", "0", "0", "0", "x"}, Date()};
    EXPECT_EQ(rows[0], expected);
}

TEST_F(SourceStoreTest, NamesThatWouldBreakJoinedSqlAreStoredIntact)
{
    const std::vector<std::string> names = {"O'Brien's", "x'); DROP TABLE xiaoshuo; --", G("站'乙")};
    for (const std::string &name : names)
        ASSERT_TRUE(store.Insert(Named(name), Date())) << name;
    EXPECT_EQ(Names(), names);
    ASSERT_TRUE(store.Update("1", Named("it's"), Date()));
    EXPECT_EQ(store.ListAll()[0].source.name, "it's");
}

TEST_F(SourceStoreTest, IdsAreAssignedInOrderAndNeverReused)
{
    for (const char *name : {"a", "b", "c"})
        ASSERT_TRUE(store.Insert(Named(name), Date()));
    ASSERT_TRUE(store.Delete("3"));
    ASSERT_TRUE(store.Insert(Named("d"), Date()));
    const std::vector<SourceRecord> rows = store.ListAll();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].id, "1");
    EXPECT_EQ(rows[2].id, "4");
    EXPECT_EQ(store.ReadLast()->source.name, "d");
}

TEST_F(SourceStoreTest, UpdateAndDeleteReportAMissingRow)
{
    ASSERT_TRUE(store.Insert(Named("a"), Date()));
    EXPECT_EQ(store.Update("7", Named("b"), Date()).status, StoreStatus::NoSuchRow);
    EXPECT_EQ(store.Delete("7").status, StoreStatus::NoSuchRow);
    EXPECT_EQ(store.Delete("1 OR 1=1").status, StoreStatus::NoSuchRow);
    EXPECT_EQ(Names(), std::vector<std::string>{"a"});
}

TEST_F(SourceStoreTest, LockedStoreFailsCalmlyAndLosesNothing)
{
    ASSERT_TRUE(store.Insert(Named("a"), Date()));
    RawConnection other(file);
    ASSERT_EQ(other.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
    EXPECT_EQ(store.Insert(Named("b"), Date()).status, StoreStatus::Busy);
    EXPECT_EQ(store.Update("1", Named("c"), Date()).status, StoreStatus::Busy);
    EXPECT_EQ(store.Delete("1").status, StoreStatus::Busy);
    StoreResult listed;
    EXPECT_TRUE(store.ListAll(&listed).empty());
    EXPECT_EQ(listed.status, StoreStatus::Busy);
    other.Exec("COMMIT");
    EXPECT_EQ(Names(), std::vector<std::string>{"a"});
    EXPECT_TRUE(store.Insert(Named("b"), Date()));
}

TEST_F(SourceStoreTest, ReadOnlyStoreFailsCalmlyAndLosesNothing)
{
    ASSERT_TRUE(store.Insert(Named("a"), Date()));
    store.Close();
    ImmutableFile lock(file);
    if (!lock.ok())
        GTEST_SKIP() << "cannot make a file immutable here";
    ASSERT_TRUE(store.Open(file));
    EXPECT_EQ(store.Insert(Named("b"), Date()).status, StoreStatus::ReadOnly);
    EXPECT_EQ(store.Update("1", Named("c"), Date()).status, StoreStatus::ReadOnly);
    EXPECT_EQ(store.Delete("1").status, StoreStatus::ReadOnly);
    EXPECT_EQ(Names(), std::vector<std::string>{"a"});
}

TEST_F(SourceStoreTest, StoreOpenedForReadingRefusesWrites)
{
    ASSERT_TRUE(store.Insert(Named("a"), Date()));
    SourceStore reader;
    ASSERT_TRUE(reader.Open(file, SourceStore::Mode::ReadOnly));
    EXPECT_EQ(reader.Insert(Named("b"), Date()).status, StoreStatus::ReadOnly);
    EXPECT_EQ(reader.ListAll().size(), 1u);
}

TEST_F(SourceStoreTest, FileRemovedUnderAnOpenStoreIsReportedMissing)
{
    fs::remove(file);
    EXPECT_EQ(store.Insert(Named("a"), Date()).status, StoreStatus::Missing);
    EXPECT_EQ(store.Delete("1").status, StoreStatus::Missing);
}

TEST(SourceStoreOpen, RefusesWhatIsNotAStore)
{
    TempFolder folder;
    const fs::path junk = folder.path() / "junk.db";
    std::ofstream(junk) << "not a database at all, just some text that is long enough";
    SourceStore store;
    EXPECT_FALSE(store.Open(junk));
    EXPECT_FALSE(store.Open(folder.path() / "absent.db"));
    EXPECT_TRUE(store.ListAll().empty());
    EXPECT_EQ(store.Insert(Named("a"), Date()).status, StoreStatus::NotOpen);

    // A database without the table is no store either.
    const fs::path other = folder.path() / "other.db";
    RawConnection(other).Exec("CREATE TABLE t (x)");
    EXPECT_FALSE(store.Open(other));
}

TEST(SourceStoreOpen, InsertAllIsAllOrNothing)
{
    TempFolder folder;
    SourceStore store;
    ASSERT_TRUE(store.Create(folder.path() / SourceStore::kFileName));
    std::vector<SourceRecord> rows(3);
    for (int i = 0; i < 3; ++i)
        rows[i].source.name = "n" + std::to_string(i);
    ASSERT_TRUE(store.InsertAll(rows));
    ASSERT_EQ(store.ListAll().size(), 3u);

    RawConnection other(folder.path() / SourceStore::kFileName);
    other.Exec("BEGIN EXCLUSIVE");
    store.SetBusyTimeout(50);
    EXPECT_FALSE(store.InsertAll(rows));
    other.Exec("COMMIT");
    EXPECT_EQ(store.ListAll().size(), 3u);
}

} // namespace
