#pragma once

#include "novel/WorkDetails.h"

#include <vector>

class MainWindow;
class NovelFetcher;

// The work choice behind a click in the result list: shows the work's cover,
// name and data on page 1 and fills the chapter list from the table of
// contents. Made for one event: construct, call, drop.
class WorkDetailsHandler {
public:
    WorkDetailsHandler(MainWindow &window, NovelFetcher &fetcher);

    void OnWorkChosen();

    // Empties the chapter list and rebuilds its two columns ("章节列表" 300
    // wide, "链接" hidden).
    void ResetChapterColumns();

    // Empties the chapter list and adds one unchecked row per chapter:
    // column 0 the title, column 1 the address.
    void FillChapterList(const std::vector<ChapterRow> &chapters);

private:
    MainWindow &m_window;
    NovelFetcher &m_fetcher;
};
