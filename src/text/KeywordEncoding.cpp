#include "KeywordEncoding.h"

#include "text/CodePage.h"
#include "text/GbkText.h"

#include <unicode/ustring.h>

#include <array>
#include <optional>
#include <utility>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHexByte(std::string &out, unsigned value)
{
    out += kHexDigits[(value >> 4) & 0xF];
    out += kHexDigits[value & 0xF];
}

bool IsKeptByUtf8Form(unsigned char b)
{
    return (b >= 0x2D && b <= 0x39 && b != '/') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

// The right single quotation mark "’" in the code page.
const std::string &RightQuote()
{
    static const std::string quote = Utf8ToGbk("\xE2\x80\x99");
    return quote;
}

std::u16string GbkToUtf16(std::string_view gbk)
{
    const std::string utf8 = GbkToUtf8(gbk);
    std::u16string out(utf8.size() + 1, u'\0');
    int32_t length = 0;
    UErrorCode err = U_ZERO_ERROR;
    u_strFromUTF8WithSub(reinterpret_cast<UChar *>(out.data()), static_cast<int32_t>(out.size()), &length,
                         utf8.data(), static_cast<int32_t>(utf8.size()), u'?', nullptr, &err);
    if (U_FAILURE(err))
        return {};
    out.resize(static_cast<size_t>(length));
    return out;
}

bool IsLineTerminator(char16_t c) { return c == u'\n' || c == u'\r' || c == u'\u2028' || c == u'\u2029'; }

int HexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

bool IsOctal(char16_t c) { return c >= u'0' && c <= u'7'; }

// Reads `count` hex digits at `pos`; nullopt when there are fewer.
std::optional<char16_t> ReadHex(std::u16string_view text, size_t pos, size_t count)
{
    if (pos + count > text.size())
        return std::nullopt;
    unsigned value = 0;
    for (size_t i = 0; i < count; ++i) {
        const int digit = HexValue(text[pos + i]);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return static_cast<char16_t>(value);
}

// The legacy octal escape the classic script engine accepts: up to three
// digits from a leading 0-3 (so "\012" is a line feed, not NUL + "12"), up to
// two from a leading 4-7.
char16_t ReadOctal(std::u16string_view text, size_t &pos)
{
    const size_t maxDigits = text[pos] <= u'3' ? 3 : 2;
    unsigned value = 0;
    for (size_t digits = 0; digits < maxDigits && pos < text.size() && IsOctal(text[pos]); ++digits, ++pos)
        value = value * 8 + static_cast<unsigned>(text[pos] - u'0');
    return static_cast<char16_t>(value);
}

// The value of a single-quoted string literal whose body is `body`, as the
// classic script engine reads it; nullopt when the literal would not
// compile. The body holds no apostrophe (the caller replaced them), so the
// literal can only go wrong through a raw line break, a malformed \x or \u
// sequence, or a final backslash that escapes the closing quote and leaves
// the literal unterminated.
std::optional<std::u16string> ReadStringLiteral(std::u16string_view body)
{
    std::u16string value;
    value.reserve(body.size());
    size_t pos = 0;
    while (pos < body.size()) {
        const char16_t c = body[pos++];
        if (IsLineTerminator(c))
            return std::nullopt;
        if (c != u'\\') {
            value += c;
            continue;
        }
        if (pos == body.size())
            return std::nullopt;
        const char16_t e = body[pos];
        if (IsLineTerminator(e))
            return std::nullopt;
        if (IsOctal(e)) {
            value += ReadOctal(body, pos);
            continue;
        }
        ++pos;
        switch (e) {
        case u'n': value += u'\n'; break;
        case u't': value += u'\t'; break;
        case u'r': value += u'\r'; break;
        case u'b': value += u'\b'; break;
        case u'f': value += u'\f'; break;
        case u'v': value += u'\v'; break;
        case u'x':
        case u'u': {
            const size_t digits = e == u'x' ? 2 : 4;
            const std::optional<char16_t> unit = ReadHex(body, pos, digits);
            if (!unit)
                return std::nullopt;
            value += *unit;
            pos += digits;
            break;
        }
        default: value += e; break; // \\, \', \" and any other character
        }
    }
    return value;
}

bool IsKeptByEscape(char16_t c)
{
    if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9'))
        return true;
    return c == u'@' || c == u'*' || c == u'_' || c == u'+' || c == u'-' || c == u'.' || c == u'/';
}

// The script function escape() over UTF-16 code units.
std::string ScriptEscape(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size() * 3);
    for (const char16_t c : text) {
        if (IsKeptByEscape(c)) {
            out += static_cast<char>(c);
        } else if (c < 0x100) {
            out += '%';
            AppendHexByte(out, c);
        } else {
            out += "%u";
            AppendHexByte(out, c >> 8);
            AppendHexByte(out, c & 0xFF);
        }
    }
    return out;
}

std::string ReplaceEach(std::string text, std::initializer_list<std::pair<std::string_view, std::string_view>> pairs)
{
    for (const auto &[from, to] : pairs)
        text = ReplaceAllGbk(text, from, to);
    return text;
}

} // namespace

std::string EncodeKeywordUtf8(std::string_view text, bool keepUnreserved, bool convertToUtf8)
{
    text = text.substr(0, text.find('\0')); // texts end at their first zero byte
    const std::string converted = convertToUtf8 ? GbkToUtf8(text) : std::string();
    const std::string_view bytes = convertToUtf8 ? std::string_view(converted) : text;
    std::string out;
    out.reserve(bytes.size() * 3);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (keepUnreserved && IsKeptByUtf8Form(b)) {
            out += ch;
        } else {
            out += '%';
            AppendHexByte(out, b);
        }
    }
    return out;
}

std::string EncodeKeywordEscape(std::string_view text, bool keepBrackets, bool keepPunctuation,
                                std::string_view unicodePrefix)
{
    // An apostrophe would end the literal the keyword is read from; the
    // right single quotation mark takes its place.
    const std::string body = ReplaceAllGbk(text.substr(0, text.find('\0')), "'", RightQuote());
    const std::optional<std::u16string> value = ReadStringLiteral(GbkToUtf16(body));
    if (!value)
        return {};
    std::string result = ScriptEscape(*value);

    if (keepBrackets)
        result = ReplaceEach(std::move(result),
                             {{"%7B", "{"}, {"%7D", "}"}, {"%5B", "["}, {"%5D", "]"}, {"%28", "("}, {"%29", ")"}});
    if (keepPunctuation)
        result = ReplaceEach(std::move(result), {{"%3A", ":"}, {"%2C", ","}, {"%22", "\""}});
    if (unicodePrefix != "%u" && !TrimBlanks(unicodePrefix).empty())
        result = ReplaceAllGbk(result, "%u", unicodePrefix);
    return ReplaceAllGbk(result, RightQuote(), "'");
}
