#pragma once

#include <string>
#include <string_view>
#include <vector>

// The steps of loading a work, free of any window. Texts are in the code page.

// The work data label: group 1 of the last match of the work-data
// expression, as plain text; empty when nothing matches.
std::string PickWorkData(std::string_view workPage, std::string_view workDataExpression);

// The table-of-contents address: group 1 of the last match, completed
// against the work page's own address.
std::string PickTableOfContentsAddress(std::string_view workPage, std::string_view tableOfContentsExpression,
                                       std::string_view workPageAddress);

struct ChapterRow {
    std::string title;   // group 2, as the page gives it (no cleaning)
    std::string address; // group 1, completed against the table of contents' address
};

// One row per match of the chapter-links expression, in page order.
std::vector<ChapterRow> MakeChapterRows(std::string_view tableOfContents, std::string_view chapterLinkExpression,
                                        std::string_view tableOfContentsAddress);

// The chapter's plain text: group 1 of the last match of the chapter-content
// expression, converted from HTML; empty when nothing matches.
std::string PickChapterText(std::string_view chapterPage, std::string_view chapterContentExpression);

// The reader's window title "《work》  chapter", and its text: the title line,
// "\r\n", the chapter text.
std::string ReaderTitle(std::string_view workName, std::string_view chapterTitle);
std::string ReaderText(std::string_view workName, std::string_view chapterTitle, std::string_view chapterText);
