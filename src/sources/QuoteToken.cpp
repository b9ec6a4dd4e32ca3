#include "QuoteToken.h"

#include "text/CodePage.h"

#include <array>
#include <functional>

namespace {

unsigned char FoldAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

bool MatchesAt(std::string_view text, size_t pos, std::string_view find, bool caseSensitive)
{
    if (text.size() - pos < find.size())
        return false;
    for (size_t i = 0; i < find.size(); ++i) {
        const auto a = static_cast<unsigned char>(text[pos + i]);
        const auto b = static_cast<unsigned char>(find[i]);
        if (caseSensitive ? a != b : FoldAscii(a) != FoldAscii(b))
            return false;
    }
    return true;
}

// Length of the code-page character starting at `pos`: GB18030 has one-,
// two- and four-byte characters. A truncated tail counts as what is left.
size_t CharLength(std::string_view text, size_t pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x81 || lead > 0xFE || pos + 1 >= text.size())
        return 1;
    const auto second = static_cast<unsigned char>(text[pos + 1]);
    if (second >= 0x30 && second <= 0x39)
        return std::min<size_t>(4, text.size() - pos);
    return 2;
}

std::string ReplaceOne(std::string_view text, const ReplacePair &pair, const ReplaceOptions &options)
{
    if (pair.find.empty())
        return std::string(text);
    const size_t start = options.start <= 1 ? 0 : static_cast<size_t>(options.start - 1);
    if (start >= text.size())
        return std::string(text);

    std::string out(text.substr(0, start));
    int done = 0;
    size_t pos = start;
    while (pos < text.size()) {
        if ((options.count < 0 || done < options.count) && MatchesAt(text, pos, pair.find, options.caseSensitive)) {
            out += pair.replace;
            pos += pair.find.size();
            ++done;
            continue;
        }
        const size_t step = CharLength(text, pos);
        out.append(text.substr(pos, step));
        pos += step;
    }
    return out;
}

void ForEachExpression(ActiveSource &source, const std::function<void(std::string &)> &apply)
{
    for (std::string *field : {&source.searchAddress, &source.searchList, &source.workData, &source.workPicture,
                               &source.tableOfContents, &source.chapterLink, &source.chapterContent})
        apply(*field);
}

} // namespace

std::string ReplaceEach(std::string_view text, std::initializer_list<ReplacePair> pairs, const ReplaceOptions &options)
{
    std::string result(text);
    for (const ReplacePair &pair : pairs)
        result = ReplaceOne(result, pair, options);
    return result;
}

const std::string &QuoteToken()
{
    static const std::string token = Utf8ToGbk("Torva替换");
    return token;
}

std::string EscapeQuotes(std::string_view text)
{
    return ReplaceEach(text, {{"'", QuoteToken()}});
}

std::string UnescapeQuotes(std::string_view text)
{
    return ReplaceEach(text, {{QuoteToken(), "'"}});
}

ActiveSource EscapeExpressions(ActiveSource source)
{
    ForEachExpression(source, [](std::string &field) { field = EscapeQuotes(field); });
    return source;
}

ActiveSource UnescapeExpressions(ActiveSource source)
{
    ForEachExpression(source, [](std::string &field) { field = UnescapeQuotes(field); });
    return source;
}
