#pragma once

#include <filesystem>

class MainWindow;
class NovelFetcher;

// The chapter download row of page 1: 全选, 下载 and 打开文件夹. The work
// folder is the program folder, the active source's name and the work's
// name, both names made safe for the file system. Made for one event.
class DownloadHandler {
public:
    DownloadHandler(MainWindow &window, NovelFetcher &fetcher);

    // Writes each checked chapter to its own file, showing the progress in
    // 透明标签_下载状态. Window events run between chapters; meanwhile the
    // controls that could change the list or start other work are disabled,
    // and closing the window ends the download before anything more is
    // written.
    void OnDownloadClicked();
    void OnSelectAllClicked();
    // Creates the work folder and opens it in the desktop's file browser.
    void OnOpenFolderClicked();

private:
    std::filesystem::path PrepareWorkFolder() const;

    MainWindow &m_window;
    NovelFetcher &m_fetcher;
};
