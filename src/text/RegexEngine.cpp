#include "RegexEngine.h"

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

// Rewrites an expression in the syntax users wrote for into PCRE2 syntax.
// Line anchors: with `multiline` "^" matches after "\n" or "\r" and "$"
// before them (PCRE2's own anchors know only "\n", the newline that keeps a
// dot from matching). Inside a set "[" is an ordinary character.
//
// Every top-level alternative starts with a callout, so that each match
// attempt passes CheckDeadline once.
std::string TranslatePattern(std::string_view pattern, bool multiline)
{
    std::string out = "(?C)";
    out.reserve(pattern.size() + 16);
    bool inSet = false;
    int depth = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\\' && i + 1 < pattern.size()) {
            const char next = pattern[i + 1];
            if (static_cast<unsigned char>(next) >= 0x80) {
                out += c; // an escaped multibyte character is itself
                continue;
            }
            ++i;
            if (IsAsciiLetter(next) && !IsKnownLetterEscape(next)) {
                if (next == 'v')
                    out += "\\x0B"; // a vertical tab, not PCRE2's class of vertical space
                else
                    out += next;
            } else {
                out += c;
                out += next;
            }
            continue;
        }
        if (inSet) {
            if (c == ']')
                inSet = false;
            if (c == '[')
                out += '\\';
            out += c;
            continue;
        }
        if (c == '[') {
            inSet = true;
            out += c;
            if (i + 1 < pattern.size() && pattern[i + 1] == '^')
                out += pattern[++i];
        } else if (multiline && c == '^') {
            out += "(?<![^\\r\\n])";
        } else if (multiline && c == '$') {
            out += "(?![^\\r\\n])";
        } else if (c == '|' && depth == 0) {
            out += "|(?C)";
        } else {
            depth += c == '(' ? 1 : c == ')' ? -1 : 0;
            out += c;
        }
    }
    return out;
}

Code Compile(const std::string &pattern, bool caseSensitive, bool multiline)
{
    CompileContext context(pcre2_compile_context_create(nullptr));
    if (!context)
        return nullptr;
    // Only "\n" ends a line for the dot, so a dot matches "\r".
    pcre2_set_newline(context.get(), PCRE2_NEWLINE_LF);
    uint32_t options = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF | PCRE2_ALLOW_EMPTY_CLASS |
                       PCRE2_NEVER_BACKSLASH_C;
    if (!caseSensitive)
        options |= PCRE2_CASELESS;
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
    const Code code = Compile(TranslatePattern(GbkToUtf8(m_pattern), multiline), caseSensitive, multiline);
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

    const size_t pairs = m_groupCount + 1;
    const PCRE2_SIZE *vector = pcre2_get_ovector_pointer(data.get());
    // The first attempt checks that the subject is valid UTF-8, the later ones
    // need not scan it again.
    uint32_t options = 0;
    size_t start = 0;
    for (;;) {
        const int rc = MatchAt(code.get(), m_subjectUtf8, start, options, data.get(), context.get());
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
