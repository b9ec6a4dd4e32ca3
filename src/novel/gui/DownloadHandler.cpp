#include "DownloadHandler.h"

#include "app/AppState.h"
#include "app/gui/MainWindow.h"
#include "novel/ChapterDownload.h"
#include "novel/NovelFetcher.h"
#include "novel/gui/WorkflowLock.h"
#include "platform/PlatformHooks.h"
#include "platform/gui/QtText.h"

#include <QCheckBox>
#include <QLabel>
#include <QTreeWidget>

namespace {

std::vector<MarkedChapter> MarkedChapters(QTreeWidget *list)
{
    std::vector<MarkedChapter> marked;
    const int count = list->topLevelItemCount();
    for (int row = 0; row < count; ++row) {
        const QTreeWidgetItem *item = list->topLevelItem(row);
        if (item->checkState(0) == Qt::Checked)
            marked.push_back({ToGbk(item->text(0)), ToGbk(item->text(1))});
    }
    return marked;
}

} // namespace

DownloadHandler::DownloadHandler(MainWindow &window, NovelFetcher &fetcher) : m_window(window), m_fetcher(fetcher) {}

std::filesystem::path DownloadHandler::PrepareWorkFolder() const
{
    return ChapterDownload::PrepareFolders(m_window.programFolder(), ToGbk(m_window.sourceName()->text()),
                                           ToGbk(m_window.workPage().workName()->text()));
}

void DownloadHandler::OnDownloadClicked()
{
    const std::filesystem::path folder = PrepareWorkFolder();
    QLabel *status = m_window.workPage().downloadStatus();
    const std::vector<MarkedChapter> marked = MarkedChapters(m_window.workPage().chapterList());
    status->setText(FromGbk(SelectedStatusText(static_cast<int>(marked.size()))));
    if (marked.empty())
        return;

    WorkflowLock lock(m_window);
    PlatformHooks &hooks = m_window.hooks();
    ChapterDownload download(m_fetcher, m_window.state().activeSource.chapterContent);
    download.Run(
        folder, marked,
        [&](int selected, int done) {
            if (lock.WindowGone())
                return;
            status->setText(FromGbk(ProgressStatusText(selected, done)));
            hooks.ProcessPendingEvents();
        },
        [&lock] { return lock.WindowGone(); });
}

void DownloadHandler::OnSelectAllClicked()
{
    const WorkPage &page = m_window.workPage();
    page.downloadStatus()->clear();
    const Qt::CheckState state = page.selectAll()->isChecked() ? Qt::Checked : Qt::Unchecked;
    QTreeWidget *list = page.chapterList();
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        list->topLevelItem(row)->setCheckState(0, state);
}

void DownloadHandler::OnOpenFolderClicked()
{
    const std::filesystem::path folder = PrepareWorkFolder();
    const std::u8string utf8 = folder.u8string();
    m_window.hooks().OpenFolder(std::string(utf8.begin(), utf8.end()));
}
