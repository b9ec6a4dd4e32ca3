#include "FindText.h"

#include "text/AsciiCase.h"

#include <string>

int FindText(std::string_view text, std::string_view subtext, int start, bool caseInsensitive)
{
    // Both texts end at their first zero byte.
    text = text.substr(0, text.find('\0'));
    subtext = subtext.substr(0, subtext.find('\0'));
    if (start == 0)
        start = 1;
    if (text.empty() || subtext.empty() || start < 1)
        return -1;
    const auto from = static_cast<size_t>(start - 1);
    if (from >= text.size())
        return -1;
    size_t found;
    if (caseInsensitive) {
        // Byte by byte, like the search itself: a trailing byte of a double-byte
        // character in A..Z is folded too, on both sides alike.
        found = AsciiLower(text).find(AsciiLower(subtext), from);
    } else {
        found = text.find(subtext, from);
    }
    return found == std::string_view::npos ? -1 : static_cast<int>(found + 1);
}
