// The main window's handlers that start a workflow. Each counts its run and
// hands over to the workflow that owns the work.

#include "MainWindow.h"

void MainWindow::OnSearchClicked()
{
    CountRun(Handler::Search);
}

void MainWindow::OnSourceManagerClicked()
{
    CountRun(Handler::SourceManager);
}

void MainWindow::OnWorkChosen()
{
    CountRun(Handler::WorkChosen);
}

void MainWindow::OnChapterDoubleClicked()
{
    CountRun(Handler::ChapterDoubleClicked);
}

void MainWindow::OnSelectAllClicked()
{
    CountRun(Handler::SelectAll);
}

void MainWindow::OnDownloadClicked()
{
    CountRun(Handler::Download);
}

void MainWindow::OnOpenFolderClicked()
{
    CountRun(Handler::OpenFolder);
}
