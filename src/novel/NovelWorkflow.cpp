#include "NovelWorkflow.h"

#include "novel/AddressCompletion.h"
#include "novel/NovelFetcher.h"
#include "text/CodePage.h"

SearchOutcome RunSearch(NovelFetcher &fetcher, const ActiveSource &source, std::string_view keyword,
                        const FetchChoices &choices)
{
    SearchOutcome outcome;
    outcome.address = BuildSearchAddress(source.searchAddress, keyword, choices.keywordForm);
    outcome.pageText = fetcher.FetchPage(outcome.address, choices.fetchMode, choices.transcoding);
    outcome.verdict = JudgeSearchPage(outcome.pageText);
    if (outcome.verdict != SearchVerdict::Ok)
        return outcome;
    outcome.rows = MakeResultRows(outcome.pageText, source.searchList);
    outcome.covers = MakeCoverAddresses(outcome.pageText, source.workPicture);
    return outcome;
}

std::string CompleteWorkAddress(std::string_view workLink, const ActiveSource &source)
{
    return CompleteAddress(workLink, source.searchAddress);
}

WorkOutcome LoadWork(NovelFetcher &fetcher, const ActiveSource &source, std::string_view workLink,
                     const FetchChoices &choices)
{
    WorkOutcome outcome;
    outcome.address = CompleteWorkAddress(workLink, source);
    outcome.pageText = fetcher.FetchPage(outcome.address, choices.fetchMode, choices.transcoding);
    if (!outcome.found())
        return outcome;
    outcome.data = PickWorkData(outcome.pageText, source.workData);
    outcome.tableOfContentsAddress =
        PickTableOfContentsAddress(outcome.pageText, source.tableOfContents, outcome.address);
    const std::string contents = fetcher.FetchChapterPage(outcome.tableOfContentsAddress);
    outcome.chapters = MakeChapterRows(contents, source.chapterLink, outcome.tableOfContentsAddress);
    return outcome;
}

std::string ReadChapter(NovelFetcher &fetcher, const ActiveSource &source, const std::string &chapterAddress)
{
    return PickChapterText(fetcher.FetchChapterPage(chapterAddress), source.chapterContent);
}

std::string WorkNotFoundMessage()
{
    return Utf8ToGbk("未查询到数据");
}
