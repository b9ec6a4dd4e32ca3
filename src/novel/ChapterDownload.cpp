#include "ChapterDownload.h"

#include "novel/Folders.h"
#include "novel/NovelFetcher.h"
#include "novel/WorkDetails.h"
#include "text/CodePage.h"

std::string SelectedStatusText(int selected)
{
    static const std::string chosen = Utf8ToGbk("你选中了");
    return chosen + std::to_string(selected);
}

std::string ProgressStatusText(int selected, int done)
{
    static const std::string left = Utf8ToGbk("  当前还剩下");
    static const std::string finished = Utf8ToGbk("  已经完成下载");
    return SelectedStatusText(selected) + left + std::to_string(selected - done) + finished + std::to_string(done);
}

ChapterDownload::ChapterDownload(NovelFetcher &fetcher, std::string chapterContentExpression)
    : m_fetcher(fetcher), m_expression(std::move(chapterContentExpression))
{
}

std::filesystem::path ChapterDownload::PrepareFolders(const std::filesystem::path &programFolder,
                                                      std::string_view sourceNameGbk, std::string_view workNameGbk)
{
    const std::filesystem::path sourceFolder = SourceFolderPath(programFolder, sourceNameGbk);
    if (!FolderExists(sourceFolder))
        EnsureFolder(sourceFolder);
    const std::filesystem::path workFolder = WorkFolderPath(programFolder, sourceNameGbk, workNameGbk);
    EnsureFolder(workFolder);
    return workFolder;
}

DownloadReport ChapterDownload::Run(const std::filesystem::path &workFolder, const std::vector<MarkedChapter> &chapters,
                                    const Progress &progress, const StopRequested &stopRequested)
{
    auto stop = [&stopRequested] { return stopRequested && stopRequested(); };
    DownloadReport report;
    report.selected = static_cast<int>(chapters.size());
    for (const MarkedChapter &chapter : chapters) {
        if (stop()) {
            report.stopped = true;
            break;
        }
        const std::string page = m_fetcher.FetchChapterPage(chapter.address);
        if (stop()) {
            report.stopped = true;
            break;
        }
        const std::string text = PickChapterText(page, m_expression);
        if (WriteFileReplacing(ChapterFilePath(workFolder, chapter.title), text))
            ++report.written;
        ++report.done;
        if (progress)
            progress(report.selected, report.done);
    }
    return report;
}
