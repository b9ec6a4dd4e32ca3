#include "text/CodePage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

struct ConversionCase {
    const char *name;
    std::string input;
    std::string expected;
};

class GbkToUtf8Test : public testing::TestWithParam<ConversionCase> {};

TEST_P(GbkToUtf8Test, Converts)
{
    EXPECT_EQ(GbkToUtf8(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GbkToUtf8Test,
    testing::Values(ConversionCase{"Zhong", "\xD6\xD0", "\xE4\xB8\xAD"},
                    ConversionCase{"Ascii", "http://a.b/?q=1&x", "http://a.b/?q=1&x"},
                    ConversionCase{"Empty", "", ""},
                    ConversionCase{"MixedText", "ab\xD6\xD0" "cd", "ab\xE4\xB8\xAD" "cd"},
                    // GB18030 four-byte form of U+20000 and of the euro sign's two-byte form.
                    ConversionCase{"FourByte", "\x95\x32\x82\x36", "\xF0\xA0\x80\x80"},
                    ConversionCase{"Euro", "\xA2\xE3", "\xE2\x82\xAC"},
                    ConversionCase{"StopsAtZero", "\xD6\xD0\0\xD6\xD0"s, "\xE4\xB8\xAD"},
                    ConversionCase{"LeadingZero", "\0abc"s, ""},
                    ConversionCase{"TruncatedLead", "a\xD6", "a?"},
                    ConversionCase{"LeadBeforeSpace", "\xD6 a", "? a"},
                    ConversionCase{"InvalidByteFF", "a\xFF" "b", "a?b"},
                    ConversionCase{"TruncatedFourByte", "\x95\x32\x82", "?"}),
    [](const testing::TestParamInfo<ConversionCase> &info) { return std::string(info.param.name); });

class Utf8ToGbkTest : public testing::TestWithParam<ConversionCase> {};

TEST_P(Utf8ToGbkTest, Converts)
{
    EXPECT_EQ(Utf8ToGbk(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8ToGbkTest,
    testing::Values(ConversionCase{"Zhong", "\xE4\xB8\xAD", "\xD6\xD0"},
                    ConversionCase{"Ascii", "http://a.b/?q=1&x", "http://a.b/?q=1&x"},
                    ConversionCase{"Empty", "", ""},
                    // Outside GBK, still representable in the code page: no "?".
                    ConversionCase{"OutsideBmp", "\xF0\xA0\x80\x80", "\x95\x32\x82\x36"},
                    ConversionCase{"Emoji", "\xF0\x9F\x98\x80", "\x94\x39\xFC\x36"},
                    ConversionCase{"StopsAtZero", "\xE4\xB8\xAD\0\xE4\xB8\xAD"s, "\xD6\xD0"},
                    // A page that was in the code page already: 中文 as GBK bytes.
                    ConversionCase{"GbkBytes", "\xD6\xD0\xCE\xC4", "????"},
                    ConversionCase{"GbkBytesAmidAscii", "a\xD6\xD0z", "a??z"},
                    ConversionCase{"TruncatedSequence", "a\xE4\xB8", "a?"},
                    ConversionCase{"LoneContinuation", "\x80" "a", "?a"},
                    ConversionCase{"EncodedSurrogate", "\xED\xA0\x80", "???"},
                    ConversionCase{"Overlong", "\xC0\xAF", "??"}),
    [](const testing::TestParamInfo<ConversionCase> &info) { return std::string(info.param.name); });

TEST(CodePageTest, EveryGbkCharacterRoundTrips)
{
    // All two-byte GBK codes: lead 81..FE, trail 40..FE without 7F.
    std::string gbk;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            gbk += static_cast<char>(lead);
            gbk += static_cast<char>(trail);
        }
    }
    const std::string utf8 = GbkToUtf8(gbk);
    EXPECT_EQ(utf8.find('?'), std::string::npos);
    EXPECT_EQ(Utf8ToGbk(utf8), gbk);
}

TEST(CodePageTest, MegabyteConvertsWhole)
{
    std::string utf8;
    while (utf8.size() < (1u << 20))
        utf8 += "\xE4\xB8\xAD" "a\xF0\xA0\x80\x80";
    const std::string gbk = Utf8ToGbk(utf8);
    ASSERT_EQ(gbk.size(), utf8.size() / 8 * 7);
    EXPECT_EQ(gbk.substr(gbk.size() - 7), "\xD6\xD0" "a\x95\x32\x82\x36");
    EXPECT_EQ(GbkToUtf8(gbk), utf8);
}

struct CharsetCase {
    const char *name;
    std::string bytes;
    std::string charset;
    std::string expectedUtf8;
};

class CharsetToGbkTest : public testing::TestWithParam<CharsetCase> {};

TEST_P(CharsetToGbkTest, DecodesIntoCodePage)
{
    std::string out = "untouched";
    ASSERT_TRUE(CharsetToGbk(GetParam().bytes, GetParam().charset, out));
    EXPECT_EQ(GbkToUtf8(out), GetParam().expectedUtf8);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CharsetToGbkTest,
    testing::Values(CharsetCase{"Utf8", "\xE4\xB8\xAD", "utf-8", "\xE4\xB8\xAD"},
                    CharsetCase{"Utf8UpperCase", "\xE4\xB8\xAD", "UTF-8", "\xE4\xB8\xAD"},
                    CharsetCase{"Gbk", "\xD6\xD0", "gbk", "\xE4\xB8\xAD"},
                    CharsetCase{"Gb2312", "\xD6\xD0", "gb2312", "\xE4\xB8\xAD"},
                    CharsetCase{"Big5", "\xA4\xA4", "big5", "\xE4\xB8\xAD"},
                    CharsetCase{"ShiftJis", "\x93\xFA", "shift_jis", "\xE6\x97\xA5"},
                    CharsetCase{"EucKr", "\xC7\xD1", "euc-kr", "\xED\x95\x9C"},
                    CharsetCase{"Latin1", "caf\xE9", "iso-8859-1", "caf\xC3\xA9"},
                    // Not cut at a zero byte: UTF-16 is full of them.
                    CharsetCase{"Utf16Le", "\x2D\x4E" "a\0"s, "utf-16le", "\xE4\xB8\xAD" "a"},
                    CharsetCase{"InvalidUtf8", "a\xFF" "b", "utf-8", "a?b"},
                    CharsetCase{"Empty", "", "utf-8", ""}),
    [](const testing::TestParamInfo<CharsetCase> &info) { return std::string(info.param.name); });

TEST(CodePageTest, UnknownCharsetLeavesOutputAlone)
{
    for (const std::string &charset : {"no-such-charset"s, ""s, "utf-8\0x"s}) {
        std::string out = "untouched";
        EXPECT_FALSE(CharsetToGbk("abc", charset, out)) << charset;
        EXPECT_EQ(out, "untouched");
    }
}

} // namespace
