#include "app/ActiveSourceConfig.h"
#include "app/ProfileFile.h"
#include "support/TempFolder.h"
#include "text/CodePage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string G(std::string_view utf8) { return Utf8ToGbk(utf8); }

class ConfigFileTest : public ::testing::Test {
protected:
    fs::path ConfigPath() const { return ConfigFilePath(m_folder.path()); }

    // `utf8` is stored in the code page, as the program's own files are.
    void WriteConfig(std::string_view utf8) const
    {
        std::ofstream out(ConfigPath(), std::ios::binary);
        out << G(utf8);
    }

    std::string ReadConfigUtf8() const
    {
        std::ifstream in(ConfigPath(), std::ios::binary);
        return GbkToUtf8(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    }

    std::vector<std::string> FolderEntries() const
    {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(m_folder.path()))
            names.push_back(entry.path().filename().string());
        return names;
    }

    TempFolder m_folder;
};

ActiveSource SampleSource()
{
    ActiveSource source;
    source.name = G("纵横中文网");
    source.searchAddress = "http://search.example/?kw=";
    source.searchList = G("<a href=\"(.*?)\">(.*?)</a>");
    source.workData = G("数据(.*?)");
    source.workPicture = "<img src=(.*?)>";
    source.tableOfContents = "toc=(.*?);";
    source.chapterLink = "<li><a href=(.*?)>(.*?)</a>";
    source.chapterContent = "<div id=content>(.*?)</div>";
    return source;
}

TEST_F(ConfigFileTest, MissingFileGivesEmptySource)
{
    EXPECT_EQ(LoadActiveSource(m_folder.path()), ActiveSource{});
}

TEST_F(ConfigFileTest, SectionWithOnlyTheNameGivesNameAndEmptyTexts)
{
    WriteConfig("[配置文件]\r\n信息源名称=飞卢小说\r\n");
    ActiveSource expected;
    expected.name = G("飞卢小说");
    EXPECT_EQ(LoadActiveSource(m_folder.path()), expected);
}

TEST_F(ConfigFileTest, SaveThenLoadGivesTheSameSource)
{
    const ActiveSource source = SampleSource();
    ASSERT_TRUE(SaveActiveSource(m_folder.path(), source));
    EXPECT_EQ(LoadActiveSource(m_folder.path()), source);
    // Nothing but the file itself is left behind by the write.
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"配置文件.ini"});
}

TEST_F(ConfigFileTest, SaveWritesEveryKeyInOrderWithCrLf)
{
    ActiveSource source = SampleSource();
    source.workData.clear(); // an empty text is a key with nothing after "="
    ASSERT_TRUE(SaveActiveSource(m_folder.path(), source));
    EXPECT_EQ(ReadConfigUtf8(), "[配置文件]\r\n"
                                "信息源名称=纵横中文网\r\n"
                                "信息源正则B=http://search.example/?kw=\r\n"
                                "信息源正则C=<a href=\"(.*?)\">(.*?)</a>\r\n"
                                "信息源正则D=\r\n"
                                "信息源正则E=<img src=(.*?)>\r\n"
                                "信息源正则F=toc=(.*?);\r\n"
                                "信息源正则G=<li><a href=(.*?)>(.*?)</a>\r\n"
                                "信息源正则H=<div id=content>(.*?)</div>\r\n");
}

TEST_F(ConfigFileTest, QuoteTokenBecomesApostropheInTextsButNotInName)
{
    ActiveSource source = SampleSource();
    source.name = G("书Torva替换源");
    source.searchList = G("<a href=Torva替换(.*?)TORVA替换>(.*?)tOrVa替换");
    source.chapterContent = G("中Torva替换文");
    ASSERT_TRUE(SaveActiveSource(m_folder.path(), source));

    const ActiveSource loaded = LoadActiveSource(m_folder.path());
    EXPECT_EQ(loaded.name, G("书Torva替换源"));
    EXPECT_EQ(loaded.searchList, "<a href='(.*?)'>(.*?)'");
    EXPECT_EQ(loaded.chapterContent, G("中'文"));
}

struct ReadCase {
    const char *what;
    const char *file; // UTF-8; stored in the code page
    const char *key;
    const char *expected;
};

class ProfileReadTest : public ConfigFileTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ProfileReadTest, ReadsValue)
{
    const ReadCase &c = GetParam();
    WriteConfig(c.file);
    EXPECT_EQ(GbkToUtf8(ReadProfileString(ConfigPath(), G("配置文件"), G(c.key))), c.expected) << c.what;
}

const ReadCase kReadCases[] = {
    {"trailing blank", "[配置文件]\r\n信息源名称=abc \r\n", "信息源名称", "abc"},
    {"blanks and tabs around", "[配置文件]\r\n信息源名称 = \tabc\t \r\n", "信息源名称", "abc"},
    {"double quotes", "[配置文件]\r\n信息源正则B=\"http://a/?q=\"\r\n", "信息源正则B", "http://a/?q="},
    {"single quotes", "[配置文件]\r\n信息源正则B='x y'\r\n", "信息源正则B", "x y"},
    {"quotes after blanks, inner blanks kept", "[配置文件]\r\n信息源正则B= \" x \" \r\n", "信息源正则B", " x "},
    {"unmatched quotes kept", "[配置文件]\r\n信息源正则B=\"x'\r\n", "信息源正则B", "\"x'"},
    {"one lone quote kept", "[配置文件]\r\n信息源正则B=\"\r\n", "信息源正则B", "\""},
    {"only one pair removed", "[配置文件]\r\n信息源正则B=\"\"x\"\"\r\n", "信息源正则B", "\"x\""},
    {"text after the first equals sign", "[配置文件]\r\n信息源正则F=a=b=c\r\n", "信息源正则F", "a=b=c"},
    {"first matching key wins", "[配置文件]\r\n信息源名称=one\r\n信息源名称=two\r\n", "信息源名称", "one"},
    {"key case ignored", "[配置文件]\r\n信息源正则b=lower\r\n", "信息源正则B", "lower"},
    {"LF line ends", "[配置文件]\n信息源名称=lf\n", "信息源名称", "lf"},
    {"no line end at the end", "[配置文件]\r\n信息源名称=last", "信息源名称", "last"},
    {"key in another section", "[其他]\r\n信息源名称=other\r\n[配置文件]\r\n", "信息源名称", ""},
    {"section after another", "[其他]\r\n信息源名称=other\r\n[配置文件]\r\n信息源名称=mine\r\n", "信息源名称", "mine"},
    {"blank-padded header", "  [ 配置文件 ]  \r\n信息源名称=x\r\n", "信息源名称", "x"},
    {"line without equals sign is no key", "[配置文件]\r\n信息源名称\r\n", "信息源名称", ""},
    {"empty value", "[配置文件]\r\n信息源名称=\r\n", "信息源名称", ""},
};

INSTANTIATE_TEST_SUITE_P(Values, ProfileReadTest, ::testing::ValuesIn(kReadCases));

TEST_F(ConfigFileTest, SectionAndKeyNamesIgnoreAsciiCaseOnly)
{
    WriteConfig("[Config]\r\nSearchKey=v\r\n");
    EXPECT_EQ(ReadProfileString(ConfigPath(), "CONFIG", "searchkey"), "v");
    // "信" and "佩" share their lead byte; trail bytes are never folded.
    WriteConfig("[配置文件]\r\n佩息源名称=x\r\n");
    EXPECT_EQ(ReadProfileString(ConfigPath(), G("配置文件"), G("信息源名称")), "");
}

TEST_F(ConfigFileTest, LongValueIsCutAtTheBufferSize)
{
    const std::string ascii(20000, 'a');
    WriteConfig("[配置文件]\r\n信息源正则H=" + ascii + "\r\n");
    EXPECT_EQ(LoadActiveSource(m_folder.path()).chapterContent, std::string(10239, 'a'));

    // A double-byte character across the limit is dropped whole.
    std::string straddling(10238, 'b');
    WriteConfig("[配置文件]\r\n信息源正则H=" + straddling + "中文\r\n");
    EXPECT_EQ(LoadActiveSource(m_folder.path()).chapterContent, straddling);
}

TEST_F(ConfigFileTest, WriteKeepsOtherSectionsAndKeys)
{
    WriteConfig("; notes\r\n"
                "[窗口]\r\n"
                "left=10\r\n"
                "\r\n"
                "[配置文件]\r\n"
                "信息源正则C=old\r\n"
                "额外=keep me\r\n"
                "\r\n"
                "[其他]\n"
                "x=1\n");
    ASSERT_TRUE(SaveActiveSource(m_folder.path(), SampleSource()));
    EXPECT_EQ(ReadConfigUtf8(), "; notes\r\n"
                                "[窗口]\r\n"
                                "left=10\r\n"
                                "\r\n"
                                "[配置文件]\r\n"
                                "信息源正则C=<a href=\"(.*?)\">(.*?)</a>\r\n"
                                "额外=keep me\r\n"
                                "信息源名称=纵横中文网\r\n"
                                "信息源正则B=http://search.example/?kw=\r\n"
                                "信息源正则D=数据(.*?)\r\n"
                                "信息源正则E=<img src=(.*?)>\r\n"
                                "信息源正则F=toc=(.*?);\r\n"
                                "信息源正则G=<li><a href=(.*?)>(.*?)</a>\r\n"
                                "信息源正则H=<div id=content>(.*?)</div>\r\n"
                                "\r\n"
                                "[其他]\r\n"
                                "x=1\r\n");
}

TEST_F(ConfigFileTest, SectionIsAddedToAFileWithoutIt)
{
    WriteConfig("[其他]\r\nx=1\r\n");
    ASSERT_TRUE(SaveActiveSource(m_folder.path(), SampleSource()));
    EXPECT_EQ(ReadProfileString(ConfigPath(), G("其他"), "x"), "1");
    EXPECT_EQ(LoadActiveSource(m_folder.path()), SampleSource());
}

TEST_F(ConfigFileTest, LineBreakInAValueCannotForgeKeys)
{
    ActiveSource source = SampleSource();
    source.searchAddress = "http://a/\r\n[配置文件]\r\n信息源名称=forged";
    source.searchAddress = G(source.searchAddress);
    ASSERT_TRUE(SaveActiveSource(m_folder.path(), source));
    const ActiveSource loaded = LoadActiveSource(m_folder.path());
    EXPECT_EQ(loaded.name, G("纵横中文网"));
    EXPECT_EQ(GbkToUtf8(loaded.searchAddress), "http://a/  [配置文件]  信息源名称=forged");
}

TEST_F(ConfigFileTest, UnwritableTargetReportsFalseAndKeepsTheOldFile)
{
    // A folder where the file should be: neither readable as a file nor
    // replaceable by one.
    fs::create_directory(ConfigPath());
    EXPECT_FALSE(SaveActiveSource(m_folder.path(), SampleSource()));
    EXPECT_TRUE(fs::is_directory(ConfigPath()));
    EXPECT_EQ(LoadActiveSource(m_folder.path()), ActiveSource{});
    EXPECT_EQ(FolderEntries().size(), 1u);
}

TEST_F(ConfigFileTest, ReadOnlyFolderReportsFalseAndKeepsTheOldFile)
{
    WriteConfig("[配置文件]\r\n信息源名称=old\r\n");
    fs::permissions(m_folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(m_folder.path().c_str(), W_OK) == 0)
        GTEST_SKIP() << "permission bits do not stop this user from writing";
    EXPECT_FALSE(SaveActiveSource(m_folder.path(), SampleSource()));
    EXPECT_EQ(LoadActiveSource(m_folder.path()).name, "old");
}

} // namespace
