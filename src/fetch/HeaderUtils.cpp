#include "HeaderUtils.h"

#include "text/CodePage.h"
#include "text/GbkText.h"

#include <cstdint>

namespace {

constexpr std::string_view kLineBreak = "\r\n";

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Markers are written with "#引号" where they need a double quote, so that
// they can sit inside quoted configuration values.
std::string WithQuotes(std::string_view marker)
{
    static const std::string quoteToken = Utf8ToGbk("#引号");
    return ReplaceAllGbk(marker, quoteToken, "\"");
}

std::string_view Remainder(std::string_view text, size_t from)
{
    return from >= text.size() ? std::string_view() : text.substr(from);
}

// 0-based offset a forward search begins at: a 1-based byte, where 0 and
// anything below count as byte 1.
size_t ForwardStart(int64_t startPos) { return startPos <= 1 ? 0 : static_cast<size_t>(startPos - 1); }

} // namespace

std::string CapitalizeFirst(std::string_view text)
{
    std::string out(text);
    if (!out.empty())
        out[0] = UpperAscii(out[0]);
    return out;
}

std::string NormalizeHeaderNames(std::string_view headers)
{
    std::string out;
    for (std::string &line : SplitGbk(headers, kLineBreak)) {
        const size_t colon = FindGbk(line, ":");
        if (colon == std::string::npos)
            continue;
        // Words are the pieces between "-" signs; "-" is never part of a
        // double-byte character, so bytes can be walked directly.
        for (size_t i = 0; i < colon; ++i) {
            if (i == 0 || line[i - 1] == '-')
                line[i] = UpperAscii(line[i]);
        }
        out += line;
        out += kLineBreak;
    }
    if (!out.empty())
        out.resize(out.size() - kLineBreak.size());
    return out;
}

std::string HeaderValue(std::string_view headers, std::string_view name)
{
    // Every line begins with an empty name: the first line then decides.
    for (const std::string &line : SplitGbk(headers, kLineBreak)) {
        if (line.compare(0, name.size(), name) == 0) {
            std::string marker(name);
            marker += ": ";
            return TextAfter(line, marker);
        }
    }
    return {};
}

std::string TextBefore(std::string_view text, std::string_view marker, int startPos, bool caseInsensitive)
{
    size_t found = std::string_view::npos;
    const int64_t start = startPos;
    if (start >= 0) {
        const size_t from = ForwardStart(start);
        if (from <= text.size())
            found = FindGbk(text, marker, from, caseInsensitive);
    } else {
        const uint64_t n = static_cast<uint64_t>(-start);
        const uint64_t cut = n == 1 ? 0 : n;
        if (cut <= text.size())
            found = FindLastGbk(text, marker, text.size() - cut, caseInsensitive);
    }
    return found == std::string_view::npos ? std::string() : std::string(text.substr(0, found));
}

std::string TextAfter(std::string_view text, std::string_view marker, int startPos, bool caseInsensitive)
{
    size_t found = std::string_view::npos;
    const int64_t start = startPos;
    if (start >= 0) {
        if (static_cast<uint64_t>(start) <= text.size())
            found = FindLastGbk(text, marker, text.size() - static_cast<size_t>(start), caseInsensitive);
    } else {
        const size_t from = ForwardStart(-start);
        if (from <= text.size())
            found = FindGbk(text, marker, from, caseInsensitive);
    }
    return found == std::string_view::npos ? std::string() : std::string(Remainder(text, found + marker.size()));
}

std::string TextBetween(std::string_view text, std::string_view left, std::string_view right, int startPos,
                        bool caseInsensitive)
{
    const std::string leftMarker = WithQuotes(left);
    const std::string rightMarker = WithQuotes(right);
    const size_t from = ForwardStart(startPos);
    if (from > text.size())
        return {};
    const size_t leftAt = FindGbk(text, leftMarker, from, caseInsensitive);
    if (leftAt == std::string_view::npos)
        return {};
    const size_t inside = leftAt + leftMarker.size();
    const size_t rightAt = FindGbk(text, rightMarker, inside, caseInsensitive);
    if (rightAt == std::string_view::npos)
        return {};
    return std::string(text.substr(inside, rightAt - inside));
}
