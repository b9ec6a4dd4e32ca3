#pragma once

#include "novel/NovelChoices.h"

#include <string>
#include <string_view>
#include <vector>

// The steps of a work search, free of any window: build the address, judge
// the fetched page, make the result rows and the cover addresses. Texts are
// in the code page.

// The source's search address followed directly by the keyword in the chosen
// form (UTF-8 form: the keyword converted to UTF-8, then percent-encoded).
std::string BuildSearchAddress(std::string_view searchAddress, std::string_view keyword, KeywordForm form);

enum class SearchVerdict {
    Ok,
    EmptyPage, // nothing came back
    NoData,    // the page holds "暂无数据"
    NoneFound, // the page holds "共搜索到0部"
};

SearchVerdict JudgeSearchPage(std::string_view pageText);

// The message shown for a verdict (empty for Ok):
// "请检查取名码模式或编码模式是否正确" or "暂不数据，请换其他的采集源".
std::string SearchVerdictMessage(SearchVerdict verdict);

struct SearchRow {
    std::string name;    // group 2 of a search-list match, as plain text
    std::string address; // group 1, unchanged from the page
};

// One row per match of the search-list expression, in page order.
std::vector<SearchRow> MakeResultRows(std::string_view pageText, std::string_view searchListExpression);

// Group 1 of every match of the work-picture expression, in page order,
// unchanged. The n-th belongs to the n-th row only by position.
std::vector<std::string> MakeCoverAddresses(std::string_view pageText, std::string_view pictureExpression);
