// Folders of a download and the replacing write of a chapter file.

#include "novel/Folders.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"
#include "text/CodePage.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <iterator>

#include <sys/resource.h>

namespace {

namespace fs = std::filesystem;


std::vector<std::string> Entries(const fs::path &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Folders, ExistsAndEnsure)
{
    TempFolder temp;
    EXPECT_TRUE(FolderExists(temp.path()));
    EXPECT_FALSE(FolderExists(temp.path() / "missing"));
    EXPECT_FALSE(FolderExists(""));
    EXPECT_TRUE(EnsureFolder(temp.path() / "a" / "b" / "c"));
    EXPECT_TRUE(FolderExists(temp.path() / "a" / "b" / "c"));
    EXPECT_TRUE(EnsureFolder(temp.path() / "a")); // already there
    std::ofstream(temp.path() / "file") << "x";
    EXPECT_FALSE(FolderExists(temp.path() / "file"));
    EXPECT_FALSE(EnsureFolder(temp.path() / "file" / "sub"));
}

TEST(Folders, HostileNamesStayInsideTheProgramFolder)
{
    TempFolder temp;
    const char *names[] = {"..", ".", "../../x", "/etc", "a/../../b", "", " . ", "\x01\x02"};
    for (const char *source : names) {
        for (const char *work : names) {
            const fs::path folder = WorkFolderPath(temp.path(), source, work);
            const fs::path relative = folder.lexically_normal().lexically_relative(temp.path());
            ASSERT_EQ(std::distance(relative.begin(), relative.end()), 2) << folder;
            EXPECT_NE(*relative.begin(), "..") << folder;
            EXPECT_TRUE(EnsureFolder(folder)) << folder;
        }
    }
    EXPECT_EQ(WorkFolderPath(temp.path(), Utf8ToGbk("书源"), Utf8ToGbk("作品")), temp.path() / "书源" / "作品");
    EXPECT_EQ(WorkFolderPath(temp.path(), "..", ""), temp.path() / "未命名" / "未命名");
}

TEST(Folders, ChapterFileNameIsTheCleanedTitleInUtf8)
{
    const fs::path folder = "/w";
    EXPECT_EQ(ChapterFilePath(folder, Utf8ToGbk("第三章 山,水")), fs::path("/w/第三章山水.txt"));
    EXPECT_EQ(ChapterFilePath(folder, Utf8ToGbk(" ,?* ")), fs::path("/w/.txt"));
}

TEST(WriteFileReplacing, WritesAndReplacesLeavingNoTemporaryFile)
{
    TempFolder temp;
    const fs::path file = temp.path() / "a.txt";
    ASSERT_TRUE(WriteFileReplacing(file, std::string("one\0two", 7)));
    EXPECT_EQ(ReadFileBytes(file), std::string("one\0two", 7));
    ASSERT_TRUE(WriteFileReplacing(file, ""));
    EXPECT_EQ(fs::file_size(file), 0u);
    EXPECT_EQ(Entries(temp.path()), std::vector<std::string>{"a.txt"});
    EXPECT_FALSE(WriteFileReplacing(temp.path() / "missing" / "b.txt", "x"));
}

// A write that breaks off part-way (here the file-size limit stops it, as a
// full disk or a killed process would) leaves the earlier chapter file whole
// and no partial file behind.
TEST(WriteFileReplacing, AnInterruptedWriteLeavesTheOldFileWhole)
{
    TempFolder temp;
    const fs::path file = temp.path() / "c.txt";
    ASSERT_TRUE(WriteFileReplacing(file, "old chapter"));

    auto *previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit limited = previous;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool written = WriteFileReplacing(file, std::string(100000, 'x'));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFileBytes(file), "old chapter");
    EXPECT_EQ(Entries(temp.path()), std::vector<std::string>{"c.txt"});
}

} // namespace
