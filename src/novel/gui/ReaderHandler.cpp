#include "ReaderHandler.h"

#include "app/AppState.h"
#include "app/gui/MainWindow.h"
#include "novel/NovelFetcher.h"
#include "novel/WorkDetails.h"
#include "novel/gui/ReaderWindow.h"
#include "novel/gui/WorkflowLock.h"
#include "platform/gui/QtText.h"

#include <QLabel>
#include <QTreeWidget>

ReaderHandler::ReaderHandler(MainWindow &window, NovelFetcher &fetcher) : m_window(window), m_fetcher(fetcher) {}

void ReaderHandler::OnChapterDoubleClicked()
{
    const WorkPage &page = m_window.workPage();
    page.downloadStatus()->clear();
    QTreeWidgetItem *row = page.chapterList()->currentItem();
    AppState &state = m_window.state();
    state.chapterTitle = row == nullptr ? std::string() : ToGbk(row->text(0));
    const std::string address = row == nullptr ? std::string() : ToGbk(row->text(1));
    std::string chapterPage;
    {
        WorkflowLock lock(m_window);
        chapterPage = m_fetcher.FetchChapterPage(address);
        if (lock.WindowGone())
            return;
    }
    state.chapterText = PickChapterText(chapterPage, state.activeSource.chapterContent);
    // No owner, as a window of its own; modal all the same.
    ReaderWindow reader(state);
    reader.setWindowModality(Qt::ApplicationModal);
    reader.exec();
}
