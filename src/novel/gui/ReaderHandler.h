#pragma once

class MainWindow;
class NovelFetcher;

// A double-click in the chapter list: fetches the chapter, picks its body and
// opens the reader window modally. Made for one event.
class ReaderHandler {
public:
    ReaderHandler(MainWindow &window, NovelFetcher &fetcher);

    void OnChapterDoubleClicked();

private:
    MainWindow &m_window;
    NovelFetcher &m_fetcher;
};
