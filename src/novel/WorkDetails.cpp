#include "WorkDetails.h"

#include "novel/AddressCompletion.h"
#include "text/CodePage.h"
#include "text/HtmlToText.h"
#include "text/RegexEngine.h"

std::string PickWorkData(std::string_view workPage, std::string_view workDataExpression)
{
    return HtmlToText(LastMatchGroup(workPage, workDataExpression));
}

std::string PickTableOfContentsAddress(std::string_view workPage, std::string_view tableOfContentsExpression,
                                       std::string_view workPageAddress)
{
    return CompleteAddress(LastMatchGroup(workPage, tableOfContentsExpression), workPageAddress);
}

std::vector<ChapterRow> MakeChapterRows(std::string_view tableOfContents, std::string_view chapterLinkExpression,
                                        std::string_view tableOfContentsAddress)
{
    RegexEngine engine;
    engine.Search(chapterLinkExpression, tableOfContents, true, true, true, true);
    const int count = engine.MatchCount();
    std::vector<ChapterRow> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int i = 1; i <= count; ++i)
        rows.push_back({engine.SubMatch(i, 2), CompleteAddress(engine.SubMatch(i, 1), tableOfContentsAddress)});
    return rows;
}

std::string PickChapterText(std::string_view chapterPage, std::string_view chapterContentExpression)
{
    return HtmlToText(LastMatchGroup(chapterPage, chapterContentExpression));
}

std::string ReaderTitle(std::string_view workName, std::string_view chapterTitle)
{
    static const std::string open = Utf8ToGbk("《");
    static const std::string close = Utf8ToGbk("》  ");
    return open + std::string(workName) + close + std::string(chapterTitle);
}

std::string ReaderText(std::string_view workName, std::string_view chapterTitle, std::string_view chapterText)
{
    return ReaderTitle(workName, chapterTitle) + "\r\n" + std::string(chapterText);
}
