#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The one way the program matches regular expressions: the six expressions of
// a source and the charset test of a fetched page.
//
// Expressions keep the meaning they had when users wrote them for the old
// VBScript engine: \w \d \b and \s are ASCII only, a dot matches no line
// break ("\n" or "\r"), with `multiline` "^" and "$" match after and before
// every "\n" and "\r", without `caseSensitive` only ASCII letters match either
// case, a backreference to a group that took no part matches empty, and
// escapes that engine did not know stand for the letter itself. Matching is by character (PCRE2 in UTF mode), so one Chinese
// character is one ".".
//
// Texts in and out are in the code page. Indexes of matches and groups are
// 1-based; an index out of range gives empty text. An engine holds one search
// at a time: build it, Search, read the results, drop it.
class RegexEngine {
public:
    RegexEngine();
    ~RegexEngine();
    RegexEngine(const RegexEngine &) = delete;
    RegexEngine &operator=(const RegexEngine &) = delete;

    // Runs `pattern` over `subject` and keeps the matches. With `quoteToken`
    // every "#引号" in the pattern stands for a double quote. Returns false
    // when the pattern is empty or invalid, or when the search gave up on an
    // expression that backtracks without end; the engine then holds no match.
    bool Search(std::string_view pattern, std::string_view subject, bool caseSensitive = false,
                bool multiline = true, bool global = true, bool quoteToken = false);

    int MatchCount() const;
    // Text of group `groupIndex` of match `matchIndex`; empty when either is
    // out of range or the group took no part in the match.
    std::string SubMatch(int matchIndex, int groupIndex) const;
    std::string MatchText(int matchIndex) const;
    // Number of capture groups when there is at least one match, else 0.
    int SubMatchCount() const;
    // The subject of the last search with its matches replaced by
    // `replacement` ($1..$99, $&, $`, $', $$); empty when the last search
    // failed or there was none.
    std::string Replace(std::string_view replacement) const;
    // The pattern as it was set by the last Search (after the quote token was
    // replaced); empty before the first Search.
    std::string PatternText() const;

private:
    // Offsets into the UTF-8 subject; kUnset for a group that took no part.
    using Offset = std::uint32_t;
    static constexpr Offset kUnset = UINT32_MAX;

    std::string Slice(size_t match, size_t group) const;
    void Clear();

    bool m_searched = false;
    bool m_ok = false;
    std::string m_pattern;     // code page, as set
    std::string m_subjectUtf8; // the subject the offsets point into
    size_t m_groupCount = 0;
    // (groupCount + 1) start/end pairs per match.
    std::vector<Offset> m_offsets;
};
