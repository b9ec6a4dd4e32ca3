#include "WorkSearch.h"

#include "text/CodePage.h"
#include "text/FindText.h"
#include "text/HtmlToText.h"
#include "text/KeywordEncoding.h"
#include "text/RegexEngine.h"

namespace {

const std::string &NoDataMarker()
{
    static const std::string marker = Utf8ToGbk("暂无数据");
    return marker;
}

const std::string &NoneFoundMarker()
{
    static const std::string marker = Utf8ToGbk("共搜索到0部");
    return marker;
}

// Source expressions run case-sensitive, multiline, global, with the quote
// token.
bool SearchSourceExpression(RegexEngine &engine, std::string_view expression, std::string_view subject)
{
    return engine.Search(expression, subject, true, true, true, true);
}

} // namespace

std::string BuildSearchAddress(std::string_view searchAddress, std::string_view keyword, KeywordForm form)
{
    const std::string encoded =
        form == KeywordForm::Utf8 ? EncodeKeywordUtf8(GbkToUtf8(keyword)) : EncodeKeywordEscape(keyword);
    return std::string(searchAddress) + encoded;
}

SearchVerdict JudgeSearchPage(std::string_view pageText)
{
    if (pageText.empty())
        return SearchVerdict::EmptyPage;
    if (FindText(pageText, NoDataMarker()) != -1)
        return SearchVerdict::NoData;
    if (FindText(pageText, NoneFoundMarker()) != -1)
        return SearchVerdict::NoneFound;
    return SearchVerdict::Ok;
}

std::string SearchVerdictMessage(SearchVerdict verdict)
{
    switch (verdict) {
    case SearchVerdict::EmptyPage: return Utf8ToGbk("请检查取名码模式或编码模式是否正确");
    case SearchVerdict::NoData:
    case SearchVerdict::NoneFound: return Utf8ToGbk("暂不数据，请换其他的采集源");
    case SearchVerdict::Ok: break;
    }
    return {};
}

std::vector<SearchRow> MakeResultRows(std::string_view pageText, std::string_view searchListExpression)
{
    RegexEngine engine;
    SearchSourceExpression(engine, searchListExpression, pageText);
    const int count = engine.MatchCount();
    std::vector<SearchRow> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int i = 1; i <= count; ++i)
        rows.push_back({HtmlToText(engine.SubMatch(i, 2)), engine.SubMatch(i, 1)});
    return rows;
}

std::vector<std::string> MakeCoverAddresses(std::string_view pageText, std::string_view pictureExpression)
{
    RegexEngine engine;
    SearchSourceExpression(engine, pictureExpression, pageText);
    const int count = engine.MatchCount();
    std::vector<std::string> covers;
    covers.reserve(static_cast<size_t>(count));
    for (int i = 1; i <= count; ++i)
        covers.push_back(engine.SubMatch(i, 1));
    return covers;
}
