#pragma once

#include <QByteArray>

#include <string>
#include <string_view>

class MainWindow;
class NovelFetcher;
class QWidget;

// The work search behind 按钮_搜索 and Enter in the search box: builds the
// address from the active source and the keyword, fetches it with the
// window's choices, fills the debug window before judging the page, and
// fills the result list with names, addresses and covers. Made for one
// event: construct, call, drop.
class SearchHandler {
public:
    SearchHandler(MainWindow &window, NovelFetcher &fetcher);

    void OnSearchClicked();

    // Empties the result list and adds one row per match of the search-list
    // expression: column 1 the name, column 2 the address.
    void FillResultList(std::string_view pageText, std::string_view searchListExpression);

    // One cover per match of the picture expression: its address in column 3
    // of the row at the same position, its picture drawn into 图片框5,
    // captured, and shown in column 0 with the colour of the captured
    // bitmap's top-left pixel transparent.
    void FillResultCovers(std::string_view pageText, std::string_view pictureExpression);

    // The widget as it draws itself, as the bytes of a BMP image; empty
    // bytes when there is no widget or nothing to draw.
    static QByteArray CaptureWindowBitmap(QWidget *widget);

private:
    MainWindow &m_window;
    NovelFetcher &m_fetcher;
};
