// Chapter titles become file names and source/work names become folders:
// what is removed, what stays, and that nothing can leave its folder.

#include "novel/SafeNames.h"
#include "text/CodePage.h"

#include <gtest/gtest.h>

namespace {

struct NameCase {
    const char *label;
    std::string input; // code page
    std::string expected;
};

std::string G(const char *utf8) { return Utf8ToGbk(utf8); }

class CleanChapterTitleTest : public testing::TestWithParam<NameCase> {};

TEST_P(CleanChapterTitleTest, RemovesTheTenCharactersAndBlanks)
{
    EXPECT_EQ(CleanChapterTitle(GetParam().input), GetParam().expected) << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(
    Titles, CleanChapterTitleTest,
    testing::Values(NameCase{"ascii space", G("第1章 启程"), G("第1章启程")},
                    NameCase{"full-width space", G("第二章\u3000风起"), G("第二章风起")},
                    NameCase{"comma", G("第三章 山,水"), G("第三章山水")},
                    NameCase{"all ten", G("a/b\\c|d*e?f:g,h<i>j\"k"), G("abcdefghijk")},
                    NameCase{"only removed characters", G(" ,?* \u3000"), ""},
                    NameCase{"tab stays", "a\tb", "a\tb"},
                    NameCase{"full-width comma stays", G("山，水"), G("山，水")},
                    // 嘰 is 87 5C and 億 is 83 7C in the code page: their
                    // second bytes look like "\" and "|" but belong to them.
                    NameCase{"trail bytes 5C and 7C", G("\"嘰\"億|"), G("嘰億")},
                    NameCase{"empty", "", ""}),
    [](const testing::TestParamInfo<NameCase> &info) {
        std::string name = info.param.label;
        for (char &c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

class SafeFolderNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(SafeFolderNameTest, NeverLeavesItsParent)
{
    EXPECT_EQ(SafeFolderName(GetParam().input), GetParam().expected) << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(
    Folders, SafeFolderNameTest,
    testing::Values(NameCase{"plain", G("星海书屋"), G("星海书屋")},
                    NameCase{"dot", ".", G("未命名")},
                    NameCase{"dot dot", "..", G("未命名")},
                    NameCase{"climbing path", "../../etc", "....etc"},
                    NameCase{"absolute path", "/etc/passwd", "etcpasswd"},
                    NameCase{"backslashes", "..\\..\\x", "....x"},
                    NameCase{"control characters", "a\tb\nc\x01\x7f", "abc"},
                    NameCase{"trailing dots and blanks", G("作品. .\u3000 "), G("作品")},
                    NameCase{"leading dot kept", ".hidden", ".hidden"},
                    NameCase{"empty", "", G("未命名")},
                    NameCase{"only blanks", G(" \u3000 "), G("未命名")},
                    NameCase{"trail byte 5C kept", G("嘰/億"), G("嘰億")},
                    NameCase{"characters other systems refuse stay", "a:b?c", "a:b?c"}),
    [](const testing::TestParamInfo<NameCase> &info) {
        std::string name = info.param.label;
        for (char &c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST(SafeFolderName, CutsAnOverlongNameAtACharacterBoundary)
{
    std::string longName;
    for (int i = 0; i < 200; ++i)
        longName += G("海");
    const std::string safe = SafeFolderName(longName);
    const std::string utf8 = GbkToUtf8(safe);
    EXPECT_LE(utf8.size(), 240u);
    EXPECT_GT(utf8.size(), 200u);
    EXPECT_EQ(safe.size() % 2, 0u);
    EXPECT_EQ(Utf8ToGbk(utf8), safe);
}

} // namespace
