#pragma once

#include "novel/NovelChoices.h"
#include "novel/WorkDetails.h"
#include "novel/WorkSearch.h"
#include "sources/SourceRecord.h"

#include <string>
#include <string_view>
#include <vector>

class NovelFetcher;

// Each workflow as one call, for the command line and the tests: the same
// steps the windows take one by one. Texts are in the code page.

struct SearchOutcome {
    std::string address;  // the search address built (without the fetch's "?N")
    std::string pageText; // the fetched page
    SearchVerdict verdict = SearchVerdict::EmptyPage;
    std::vector<SearchRow> rows;     // only when the verdict is Ok
    std::vector<std::string> covers; // cover addresses, by position
};

SearchOutcome RunSearch(NovelFetcher &fetcher, const ActiveSource &source, std::string_view keyword,
                        const FetchChoices &choices);

// A work address as a result row holds it, completed; a site-relative link is
// resolved against the source's search address (the page it was found on).
std::string CompleteWorkAddress(std::string_view workLink, const ActiveSource &source);

struct WorkOutcome {
    std::string address;  // the completed work page address
    std::string pageText; // the work page; empty: "未查询到数据"
    std::string data;     // the work data label
    std::string tableOfContentsAddress;
    std::vector<ChapterRow> chapters;

    bool found() const { return !pageText.empty(); }
};

WorkOutcome LoadWork(NovelFetcher &fetcher, const ActiveSource &source, std::string_view workLink,
                     const FetchChoices &choices);

// The chapter's plain text (empty when the page fails or does not match).
std::string ReadChapter(NovelFetcher &fetcher, const ActiveSource &source, const std::string &chapterAddress);

// The message of a work page that came back empty: "未查询到数据".
std::string WorkNotFoundMessage();
