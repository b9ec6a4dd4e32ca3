// The main window's handlers that start a workflow. Each counts its run and
// hands over to the workflow that owns the work.

#include "MainWindow.h"

#include "novel/NovelFetcher.h"
#include "novel/gui/DownloadHandler.h"
#include "novel/gui/ReaderHandler.h"
#include "novel/gui/SearchHandler.h"
#include "novel/gui/WorkDetailsHandler.h"
#include "sources/gui/SourceManagerWindow.h"

void MainWindow::OnSearchClicked()
{
    CountRun(Handler::Search);
    NovelFetcher fetcher(&m_hooks);
    SearchHandler(*this, fetcher).OnSearchClicked();
}

void MainWindow::OnSourceManagerClicked()
{
    CountRun(Handler::SourceManager);
    SourceManagerWindow::Run(m_state, m_programFolder, m_sourceName);
}

void MainWindow::OnWorkChosen()
{
    CountRun(Handler::WorkChosen);
    NovelFetcher fetcher(&m_hooks);
    WorkDetailsHandler(*this, fetcher).OnWorkChosen();
}

void MainWindow::OnChapterDoubleClicked()
{
    CountRun(Handler::ChapterDoubleClicked);
    NovelFetcher fetcher(&m_hooks);
    ReaderHandler(*this, fetcher).OnChapterDoubleClicked();
}

void MainWindow::OnSelectAllClicked()
{
    CountRun(Handler::SelectAll);
    NovelFetcher fetcher(&m_hooks);
    DownloadHandler(*this, fetcher).OnSelectAllClicked();
}

void MainWindow::OnDownloadClicked()
{
    CountRun(Handler::Download);
    NovelFetcher fetcher(&m_hooks);
    DownloadHandler(*this, fetcher).OnDownloadClicked();
}

void MainWindow::OnOpenFolderClicked()
{
    CountRun(Handler::OpenFolder);
    NovelFetcher fetcher(&m_hooks);
    DownloadHandler(*this, fetcher).OnOpenFolderClicked();
}
