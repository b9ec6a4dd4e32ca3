#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class NovelFetcher;

// The download of marked chapters: one file per chapter, named after its
// cleaned title, holding the chapter's plain text in the code page (no title
// line, no byte-order mark). A chapter whose page cannot be fetched or whose
// body does not match gets an empty file and still counts as done.
//
//   const auto folder = ChapterDownload::PrepareFolders(programFolder, sourceName, workName);
//   ChapterDownload download(fetcher, source.chapterContent);
//   download.Run(folder, marked, progress, stopRequested);
//
// Run asks `stopRequested` before each chapter and again after each fetch,
// so a window that closes while a chapter is on its way ends the loop before
// anything more is written.

struct MarkedChapter {
    std::string title;   // code page, as the chapter list shows it
    std::string address; // completed
};

struct DownloadReport {
    int selected = 0;
    int done = 0;    // chapters taken in hand and finished
    int written = 0; // files written (a failed write still counts as done)
    bool stopped = false;
};

// "你选中了N" and "你选中了N  当前还剩下R  已经完成下载D", in the code page.
std::string SelectedStatusText(int selected);
std::string ProgressStatusText(int selected, int done);

class ChapterDownload {
public:
    using Progress = std::function<void(int selected, int done)>;
    using StopRequested = std::function<bool()>;

    ChapterDownload(NovelFetcher &fetcher, std::string chapterContentExpression);

    // Creates the source folder (when missing) and the work folder under
    // `programFolder`, both names made safe; returns the work folder.
    static std::filesystem::path PrepareFolders(const std::filesystem::path &programFolder,
                                                std::string_view sourceNameGbk, std::string_view workNameGbk);

    DownloadReport Run(const std::filesystem::path &workFolder, const std::vector<MarkedChapter> &chapters,
                       const Progress &progress = {}, const StopRequested &stopRequested = {});

private:
    NovelFetcher &m_fetcher;
    std::string m_expression;
};
