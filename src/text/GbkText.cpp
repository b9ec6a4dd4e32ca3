#include "GbkText.h"

#include "text/AsciiCase.h"

#include <algorithm>

namespace {

bool IsLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool IsTrail(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }
bool IsFourByteDigit(unsigned char b) { return b >= 0x30 && b <= 0x39; }

// Calls `onMatch(offset)` for every occurrence of `needle` in `hay` at a
// character boundary at or after `from`, in order, until it returns false.
// Folding ASCII letters leaves character lengths alone (a folded trail byte
// is still a trail byte), so the boundaries of a folded copy are the
// original's.
template <typename OnMatch>
void ScanMatches(std::string_view hay, std::string_view needle, size_t from, OnMatch onMatch)
{
    if (needle.empty())
        return;
    size_t boundary = 0;
    size_t candidate = hay.find(needle, from);
    while (candidate != std::string_view::npos) {
        while (boundary < candidate)
            boundary += GbkCharLength(hay, boundary);
        if (boundary == candidate) {
            if (!onMatch(candidate))
                return;
            candidate = hay.find(needle, candidate + 1);
        } else {
            candidate = hay.find(needle, boundary);
        }
    }
}

template <typename OnMatch>
void ScanMatchesFolded(std::string_view text, std::string_view marker, size_t from, bool caseInsensitive,
                       OnMatch onMatch)
{
    if (!caseInsensitive) {
        ScanMatches(text, marker, from, onMatch);
        return;
    }
    const std::string hay = AsciiLower(text);
    const std::string needle = AsciiLower(marker);
    ScanMatches(hay, needle, from, onMatch);
}

bool IsFullWidthSpace(std::string_view text, size_t pos)
{
    return pos + 1 < text.size() && static_cast<unsigned char>(text[pos]) == 0xA1 &&
           static_cast<unsigned char>(text[pos + 1]) == 0xA1;
}

} // namespace

size_t GbkCharLength(std::string_view text, size_t pos)
{
    const auto at = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    if (pos + 1 >= text.size() || !IsLead(at(pos)))
        return 1;
    if (IsTrail(at(pos + 1)))
        return 2;
    if (pos + 3 < text.size() && IsFourByteDigit(at(pos + 1)) && IsLead(at(pos + 2)) && IsFourByteDigit(at(pos + 3)))
        return 4;
    return 1;
}

size_t FindGbk(std::string_view text, std::string_view marker, size_t from, bool caseInsensitive)
{
    size_t found = std::string_view::npos;
    ScanMatchesFolded(text, marker, from, caseInsensitive, [&](size_t at) {
        found = at;
        return false;
    });
    return found;
}

size_t FindLastGbk(std::string_view text, std::string_view marker, size_t limit, bool caseInsensitive)
{
    size_t found = std::string_view::npos;
    if (marker.size() > limit)
        return found;
    const size_t lastStart = limit - marker.size();
    ScanMatchesFolded(text, marker, 0, caseInsensitive, [&](size_t at) {
        if (at > lastStart)
            return false;
        found = at;
        return true;
    });
    return found;
}

std::vector<std::string> SplitGbk(std::string_view text, std::string_view separator)
{
    std::vector<std::string> pieces;
    if (text.empty())
        return pieces;
    if (separator.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    size_t pieceStart = 0;
    ScanMatches(text, separator, 0, [&](size_t at) {
        if (at < pieceStart) // overlaps the separator just taken
            return true;
        pieces.emplace_back(text.substr(pieceStart, at - pieceStart));
        pieceStart = at + separator.size();
        return true;
    });
    if (pieceStart < text.size())
        pieces.emplace_back(text.substr(pieceStart));
    return pieces;
}

std::string ReplaceAllGbk(std::string_view text, std::string_view from, std::string_view to)
{
    std::string out;
    size_t copied = 0;
    ScanMatches(text, from, 0, [&](size_t at) {
        if (at < copied)
            return true;
        out.append(text.substr(copied, at - copied));
        out.append(to);
        copied = at + from.size();
        return true;
    });
    out.append(text.substr(copied));
    return out;
}

std::string TrimBlanks(std::string_view text)
{
    size_t begin = text.size();
    size_t end = 0;
    for (size_t pos = 0; pos < text.size();) {
        const size_t length = GbkCharLength(text, pos);
        const bool blank = text[pos] == ' ' || (length == 2 && IsFullWidthSpace(text, pos));
        if (!blank) {
            begin = std::min(begin, pos);
            end = pos + length;
        }
        pos += length;
    }
    return begin < end ? std::string(text.substr(begin, end - begin)) : std::string();
}
