#include "RegexEngine.h"

#include "text/AsciiCase.h"
#include "text/CodePage.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <chrono>

namespace {

// Backtracking budget of one match attempt (PCRE2 counts it per start
// position and stops the whole call when one attempt exceeds it). A chapter
// list of thousands of links needs a tiny fraction of it; an expression such
// as (a+)+b over a long run of "a" reaches it within a few milliseconds.
constexpr uint32_t kMatchLimit = 2'000'000;
// The interpreter (used only when the JIT stack runs out) keeps its
// backtracking frames on the heap: bound their nesting and their memory.
constexpr uint32_t kDepthLimit = 1'000'000;
constexpr uint32_t kHeapLimitKiB = 128 * 1024;
constexpr size_t kJitStackStart = 64 * 1024;
constexpr size_t kJitStackMax = 64 * 1024 * 1024;
// Wall-clock budget of one whole search. The match limit bounds one attempt;
// an expression that costs nearly that much at each of a million places of a
// page would still run for minutes, and this ends it. Real searches take
// milliseconds.
constexpr std::chrono::milliseconds kSearchBudget{2000};
// Group offsets kept for one search; beyond it the search gives up rather
// than fill the memory (some 500,000 matches of an expression with 15 groups).
constexpr size_t kMaxOffsets = 16 * 1024 * 1024;

struct CodeFree {
    void operator()(pcre2_code *code) const { pcre2_code_free(code); }
};
struct CompileContextFree {
    void operator()(pcre2_compile_context *context) const { pcre2_compile_context_free(context); }
};
struct MatchContextFree {
    void operator()(pcre2_match_context *context) const { pcre2_match_context_free(context); }
};
struct MatchDataFree {
    void operator()(pcre2_match_data *data) const { pcre2_match_data_free(data); }
};
struct JitStackFree {
    void operator()(pcre2_jit_stack *stack) const { pcre2_jit_stack_free(stack); }
};
using Code = std::unique_ptr<pcre2_code, CodeFree>;
using CompileContext = std::unique_ptr<pcre2_compile_context, CompileContextFree>;
using MatchContext = std::unique_ptr<pcre2_match_context, MatchContextFree>;
using MatchData = std::unique_ptr<pcre2_match_data, MatchDataFree>;
using JitStack = std::unique_ptr<pcre2_jit_stack, JitStackFree>;

// Length of the code-page character that starts at `i`: one byte for ASCII,
// four for a GB18030 four-byte sequence, two for any other lead byte (a lead
// byte is stepped over with the byte after it, whatever that byte is).
size_t CodePageCharLength(std::string_view text, size_t i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x81 || lead == 0xFF || i + 1 >= text.size())
        return 1;
    const auto isDigit = [](unsigned char b) { return b >= 0x30 && b <= 0x39; };
    if (isDigit(byte(i + 1)) && i + 3 < text.size() && byte(i + 2) >= 0x81 && byte(i + 2) <= 0xFE &&
        isDigit(byte(i + 3)))
        return 4;
    return 2;
}

// Source expressions write a double quote as "#引号".
std::string ReplaceQuoteToken(std::string_view pattern)
{
    static const std::string token = std::string("#").append(Utf8ToGbk("引号"));
    std::string out;
    out.reserve(pattern.size());
    size_t i = 0;
    while (i < pattern.size()) {
        if (pattern.compare(i, token.size(), token) == 0) {
            out += '"';
            i += token.size();
            continue;
        }
        const size_t length = CodePageCharLength(pattern, i);
        out.append(pattern.substr(i, length));
        i += length;
    }
    return out;
}

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Letter escapes that keep their meaning; every other escaped letter stands
// for the letter itself, as it did for the expressions' original engine
// (PCRE2 would read \A \G \K \Q \R \X \h \p ... as something else, or reject
// them).
bool IsKnownLetterEscape(char c)
{
    return std::string_view("bBdDfnrsStwWxuc").find(c) != std::string_view::npos;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The value of the \xHH or \uHHHH escape whose letter is at `i`; -1 when the
// digits are not all there (the letter then stands for itself).
long EscapedCodePoint(std::string_view pattern, size_t i, size_t &digits)
{
    digits = pattern[i] == 'x' ? 2 : 4;
    if (i + digits >= pattern.size())
        return -1;
    long value = 0;
    for (size_t k = 1; k <= digits; ++k) {
        const int digit = HexValue(pattern[i + k]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

// The character a one-letter escape stands for inside a set; -1 for a class
// (\d \w \s ...), which ends no range.
long EscapedCharacter(char c)
{
    static constexpr std::string_view kClasses = "dDsSwW";
    static constexpr std::string_view kControls = "btnfr"; // 08 09 0A 0C 0D
    static constexpr char kControlCodes[] = {0x08, 0x09, 0x0A, 0x0C, 0x0D};
    if (kClasses.find(c) != std::string_view::npos)
        return -1;
    if (const size_t k = kControls.find(c); k != std::string_view::npos)
        return kControlCodes[k];
    return IsAsciiLetter(c) || (c >= '0' && c <= '9') ? 0 : static_cast<unsigned char>(c);
}

bool IsUpper(long c)
{
    return c >= 'A' && c <= 'Z';
}

// Rewrites an expression in the syntax users wrote for into PCRE2 syntax.
// Line anchors: with `multiline` "^" matches after "\n" or "\r" and "$"
// before them (PCRE2's own anchors would also take a lone "\r" but not a
// position between "\r" and "\n"). Inside a set "[" is an ordinary character.
//
// With `foldCase` the expression is run over a copy of the subject whose
// ASCII letters are folded to lower case: letters outside a set are folded
// too, and a set gains the lower-case twin of every upper-case letter it holds.
// That keeps IgnoreCase to ASCII letters (PCRE2's own caseless mode would
// also pair "é" with "É" and "k" with the Kelvin sign).
//
// Every top-level alternative starts with a callout, so that each match
// attempt passes CheckDeadline once.
class PatternTranslator {
public:
    PatternTranslator(std::string_view pattern, bool multiline, bool foldCase)
        : m_pattern(pattern), m_multiline(multiline), m_fold(foldCase)
    {
    }

    std::string Run()
    {
        m_out = "(?C)";
        m_out.reserve(m_pattern.size() + 16);
        for (m_i = 0; m_i < m_pattern.size(); ++m_i) {
            if (m_pattern[m_i] == '\\' && m_i + 1 < m_pattern.size())
                Escape();
            else if (m_inSet)
                SetCharacter(m_pattern[m_i]);
            else
                Character(m_pattern[m_i]);
        }
        return std::move(m_out);
    }

private:
    // m_i is at a backslash that has a character after it.
    void Escape()
    {
        const char next = m_pattern[m_i + 1];
        if (static_cast<unsigned char>(next) >= 0x80) {
            m_out += '\\'; // an escaped multibyte character is itself
            return;
        }
        ++m_i;
        size_t digits = 0;
        const long code = (next == 'x' || next == 'u') ? EscapedCodePoint(m_pattern, m_i, digits) : -1;
        if (code >= 0) {
            if (m_fold && !m_inSet && IsUpper(code)) {
                m_out += AsciiLower(static_cast<char>(code));
            } else {
                m_out.append(m_pattern.substr(m_i - 1, digits + 2));
            }
            m_i += digits;
            SetItem(code);
            return;
        }
        if (IsAsciiLetter(next) && !IsKnownLetterEscape(next)) {
            if (next == 'v') {
                m_out += "\\x0B"; // a vertical tab, not PCRE2's class of vertical space
                SetItem(0x0B);
            } else {
                Literal(next);
            }
            return;
        }
        m_out += '\\';
        m_out += next;
        // A class (\d \w \s ...) ends no range; any other escape is one character.
        SetItem(EscapedCharacter(next));
    }

    void Character(char c)
    {
        if (c == '[') {
            m_inSet = true;
            m_lastItem = -1;
            m_rangeFrom = -1;
            m_twins.clear();
            m_out += c;
            if (m_i + 1 < m_pattern.size() && m_pattern[m_i + 1] == '^')
                m_out += m_pattern[++m_i];
        } else if (m_multiline && c == '^') {
            m_out += "(?<![^\\r\\n])";
        } else if (m_multiline && c == '$') {
            m_out += "(?![^\\r\\n])";
        } else if (c == '|' && m_depth == 0) {
            m_out += "|(?C)";
        } else {
            m_depth += c == '(' ? 1 : c == ')' ? -1 : 0;
            Literal(c);
        }
    }

    void SetCharacter(char c)
    {
        if (c == ']') {
            m_inSet = false;
            m_out += m_twins;
            m_out += c;
            return;
        }
        const bool rangeDash = c == '-' && m_lastItem >= 0 && m_i + 1 < m_pattern.size() && m_pattern[m_i + 1] != ']';
        if (rangeDash) {
            m_rangeFrom = m_lastItem;
            m_lastItem = -1;
            m_out += c;
            return;
        }
        if (c == '[')
            m_out += '\\';
        m_out += c;
        // The lead byte of a multibyte character stands for it: above every letter.
        SetItem(static_cast<unsigned char>(c));
    }

    // A letter or other character that matches itself.
    void Literal(char c)
    {
        if (m_inSet) {
            m_out += c;
            SetItem(static_cast<unsigned char>(c));
        } else {
            m_out += m_fold ? AsciiLower(c) : c;
        }
    }

    // Notes one character (its code point, or -1 for a class) of the current
    // set, and the lower-case twins of the upper-case letters it brings in
    // alone or as the end of a range.
    void SetItem(long code)
    {
        if (!m_inSet)
            return;
        const long from = m_rangeFrom >= 0 ? m_rangeFrom : code;
        m_lastItem = m_rangeFrom >= 0 ? -1 : code;
        m_rangeFrom = -1;
        if (!m_fold || from < 0 || code < 0)
            return;
        const long first = std::max<long>(from, 'A');
        const long last = std::min<long>(code, 'Z');
        if (first > last)
            return;
        m_twins += AsciiLower(static_cast<char>(first));
        if (last > first) {
            m_twins += '-';
            m_twins += AsciiLower(static_cast<char>(last));
        }
    }

    std::string_view m_pattern;
    bool m_multiline;
    bool m_fold;
    std::string m_out;
    size_t m_i = 0;
    bool m_inSet = false;
    int m_depth = 0;
    long m_lastItem = -1;  // the set's last character, -1 after a class or a range
    long m_rangeFrom = -1; // the start of a range whose "-" was just read
    std::string m_twins;   // lower-case letters the current set gains
};

Code Compile(const std::string &pattern, bool multiline)
{
    CompileContext context(pcre2_compile_context_create(nullptr));
    if (!context)
        return nullptr;
    // A dot matches no line break: neither "\n" nor "\r".
    pcre2_set_newline(context.get(), PCRE2_NEWLINE_ANYCRLF);
    uint32_t options = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF | PCRE2_ALLOW_EMPTY_CLASS |
                       PCRE2_NEVER_BACKSLASH_C;
    if (!multiline)
        options |= PCRE2_DOLLAR_ENDONLY;
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    Code code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), options, &error,
                            &errorOffset, context.get()));
    if (code)
        pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE); // without JIT the interpreter runs
    return code;
}

// Called at the start of every match attempt (the pattern begins with a
// callout): gives up once the search has run out of time.
struct Deadline {
    std::chrono::steady_clock::time_point end;
    unsigned calls = 0;
};

int CheckDeadline(pcre2_callout_block *, void *data)
{
    auto *deadline = static_cast<Deadline *>(data);
    if (++deadline->calls % 64 != 0)
        return 0;
    return std::chrono::steady_clock::now() < deadline->end ? 0 : PCRE2_ERROR_CALLOUT;
}

size_t Utf8CharLength(std::string_view text, size_t i)
{
    size_t length = 1;
    while (i + length < text.size() && (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

std::string ToCodePage(std::string_view utf8)
{
    const bool ascii = std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? std::string(utf8) : Utf8ToGbk(utf8);
}

// Runs one match attempt from `start`. When the JIT runs out of stack the
// attempt is repeated by the interpreter, whose frames live on the heap.
int MatchAt(const pcre2_code *code, std::string_view subject, size_t start, uint32_t options,
            pcre2_match_data *data, pcre2_match_context *context)
{
    const auto run = [&](uint32_t extra) {
        return pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), start,
                           options | extra, data, context);
    };
    int rc = run(0);
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT)
        rc = run(PCRE2_NO_JIT);
    return rc;
}

} // namespace

RegexEngine::RegexEngine() = default;
RegexEngine::~RegexEngine() = default;

void RegexEngine::Clear()
{
    m_ok = false;
    m_subjectUtf8.clear();
    m_groupCount = 0;
    m_offsets.clear();
}

bool RegexEngine::Search(std::string_view pattern, std::string_view subject, bool caseSensitive, bool multiline,
                         bool global, bool quoteToken)
{
    Clear();
    m_searched = true;
    m_pattern = quoteToken ? ReplaceQuoteToken(pattern) : std::string(pattern);
    // An empty expression would match empty text before every character: a
    // source with an empty field would fill a list with one empty row per
    // character of the page. It counts as an expression that cannot be used.
    if (m_pattern.empty())
        return false;
    const Code code = Compile(PatternTranslator(GbkToUtf8(m_pattern), multiline, !caseSensitive).Run(), multiline);
    MatchContext context(pcre2_match_context_create(nullptr));
    JitStack stack(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr));
    if (!code || !context)
        return false;
    MatchData data(pcre2_match_data_create_from_pattern(code.get(), nullptr));
    if (!data)
        return false;
    pcre2_set_match_limit(context.get(), kMatchLimit);
    pcre2_set_depth_limit(context.get(), kDepthLimit);
    pcre2_set_heap_limit(context.get(), kHeapLimitKiB);
    if (stack)
        pcre2_jit_stack_assign(context.get(), nullptr, stack.get());
    Deadline deadline{std::chrono::steady_clock::now() + kSearchBudget};
    pcre2_set_callout(context.get(), CheckDeadline, &deadline);

    uint32_t groups = 0;
    pcre2_pattern_info(code.get(), PCRE2_INFO_CAPTURECOUNT, &groups);
    m_groupCount = groups;
    m_subjectUtf8 = GbkToUtf8(subject);
    if (m_subjectUtf8.size() >= kUnset) {
        Clear();
        return false;
    }

    // Without case the expression runs over a copy whose ASCII letters are
    // folded; offsets are the same in both, and results come from the original.
    const std::string folded = caseSensitive ? std::string() : AsciiLower(m_subjectUtf8);
    const std::string_view matched = caseSensitive ? std::string_view(m_subjectUtf8) : std::string_view(folded);
    const size_t pairs = m_groupCount + 1;
    const PCRE2_SIZE *vector = pcre2_get_ovector_pointer(data.get());
    // The first attempt checks that the subject is valid UTF-8, the later ones
    // need not scan it again.
    uint32_t options = 0;
    size_t start = 0;
    for (;;) {
        const int rc = MatchAt(code.get(), matched, start, options, data.get(), context.get());
        options = PCRE2_NO_UTF_CHECK;
        if (rc == PCRE2_ERROR_NOMATCH)
            break;
        if (rc <= 0 || m_offsets.size() + 2 * pairs > kMaxOffsets) {
            Clear(); // a limit was hit: no result rather than a partial one
            return false;
        }
        for (size_t g = 0; g < pairs; ++g) {
            const bool set = g < static_cast<size_t>(rc) && vector[2 * g] != PCRE2_UNSET;
            m_offsets.push_back(set ? static_cast<Offset>(vector[2 * g]) : kUnset);
            m_offsets.push_back(set ? static_cast<Offset>(vector[2 * g + 1]) : kUnset);
        }
        const size_t matchStart = vector[0];
        const size_t matchEnd = std::max(vector[1], matchStart);
        if (!global)
            break;
        if (matchEnd > matchStart) {
            start = matchEnd;
        } else {
            // An empty match: go on one whole character further, never
            // inside a UTF-8 sequence and never twice at the same place.
            if (matchStart >= m_subjectUtf8.size())
                break;
            start = matchStart + Utf8CharLength(m_subjectUtf8, matchStart);
        }
    }
    m_ok = true;
    return true;
}

int RegexEngine::MatchCount() const
{
    return static_cast<int>(m_offsets.size() / (2 * (m_groupCount + 1)));
}

std::string RegexEngine::Slice(size_t match, size_t group) const
{
    const size_t index = 2 * (match * (m_groupCount + 1) + group);
    const Offset begin = m_offsets[index];
    const Offset end = m_offsets[index + 1];
    if (begin == kUnset || end <= begin)
        return {};
    return ToCodePage(std::string_view(m_subjectUtf8).substr(begin, end - begin));
}

std::string RegexEngine::SubMatch(int matchIndex, int groupIndex) const
{
    if (matchIndex < 1 || matchIndex > MatchCount() || groupIndex < 1 ||
        static_cast<size_t>(groupIndex) > m_groupCount)
        return {};
    return Slice(static_cast<size_t>(matchIndex - 1), static_cast<size_t>(groupIndex));
}

std::string RegexEngine::MatchText(int matchIndex) const
{
    if (matchIndex < 1 || matchIndex > MatchCount())
        return {};
    return Slice(static_cast<size_t>(matchIndex - 1), 0);
}

int RegexEngine::SubMatchCount() const
{
    return MatchCount() > 0 ? static_cast<int>(m_groupCount) : 0;
}

std::string RegexEngine::Replace(std::string_view replacement) const
{
    if (!m_ok)
        return {};
    const std::string with = GbkToUtf8(replacement);
    const std::string_view subject = m_subjectUtf8;
    const size_t pairs = m_groupCount + 1;
    const auto group = [&](size_t match, size_t g) {
        const Offset begin = m_offsets[2 * (match * pairs + g)];
        const Offset end = m_offsets[2 * (match * pairs + g) + 1];
        return begin == kUnset ? std::string_view() : subject.substr(begin, end - begin);
    };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::string out;
    size_t copied = 0;
    const size_t matches = static_cast<size_t>(MatchCount());
    for (size_t m = 0; m < matches; ++m) {
        const Offset begin = m_offsets[2 * m * pairs];
        const Offset end = m_offsets[2 * m * pairs + 1];
        out.append(subject.substr(copied, begin - copied));
        for (size_t i = 0; i < with.size(); ++i) {
            const char c = with[i];
            const char next = i + 1 < with.size() ? with[i + 1] : '\0';
            if (c != '$' || next == '\0') {
                out += c;
            } else if (next == '$') {
                out += '$', ++i;
            } else if (next == '&') {
                out.append(subject.substr(begin, end - begin)), ++i;
            } else if (next == '`') {
                out.append(subject.substr(0, begin)), ++i;
            } else if (next == '\'') {
                out.append(subject.substr(end)), ++i;
            } else if (isDigit(next)) {
                // $nn when group nn exists, else $n when group n exists, else "$" itself.
                const size_t one = static_cast<size_t>(next - '0');
                const bool twoDigits = i + 2 < with.size() && isDigit(with[i + 2]);
                const size_t two = twoDigits ? one * 10 + static_cast<size_t>(with[i + 2] - '0') : 0;
                if (twoDigits && two >= 1 && two <= m_groupCount) {
                    out.append(group(m, two)), i += 2;
                } else if (one >= 1 && one <= m_groupCount) {
                    out.append(group(m, one)), ++i;
                } else {
                    out += c;
                }
            } else {
                out += c;
            }
        }
        copied = std::max<size_t>(copied, end);
    }
    out.append(subject.substr(std::min(copied, subject.size())));
    return ToCodePage(out);
}

std::string RegexEngine::PatternText() const
{
    return m_searched ? m_pattern : std::string();
}
