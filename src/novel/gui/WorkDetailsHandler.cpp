#include "WorkDetailsHandler.h"

#include "app/AppState.h"
#include "app/gui/MainWindow.h"
#include "novel/NovelFetcher.h"
#include "novel/NovelWorkflow.h"
#include "novel/gui/WindowChoices.h"
#include "novel/gui/WorkflowLock.h"
#include "platform/gui/ListViews.h"
#include "platform/gui/MessageBox.h"
#include "platform/gui/PictureBox.h"
#include "platform/gui/QtText.h"
#include "platform/gui/TabControl.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTreeWidget>

namespace {

// Columns of a result row.
constexpr int kNameColumn = 1;
constexpr int kAddressColumn = 2;
constexpr int kCoverAddressColumn = 3;

QString CurrentRowText(QTreeWidget *list, int column)
{
    QTreeWidgetItem *row = list->currentItem();
    return row == nullptr ? QString() : row->text(column);
}

} // namespace

WorkDetailsHandler::WorkDetailsHandler(MainWindow &window, NovelFetcher &fetcher)
    : m_window(window), m_fetcher(fetcher)
{
}

void WorkDetailsHandler::OnWorkChosen()
{
    const WorkPage &page = m_window.workPage();
    page.selectAll()->setEnabled(true);
    page.downloadStatus()->clear();
    m_window.tabs()->SetCurrentPage(WorkPage::kIndex);

    AppState &state = m_window.state();
    QTreeWidget *results = m_window.resultPage().resultList();
    state.workName = ToGbk(CurrentRowText(results, kNameColumn));
    const std::string workLink = ToGbk(CurrentRowText(results, kAddressColumn));
    const std::string coverAddress = ToGbk(CurrentRowText(results, kCoverAddressColumn));

    ShowPicture(page.cover(), m_fetcher.FetchPicture(coverAddress));
    page.workName()->setText(FromGbk(state.workName));
    ResetChapterColumns();

    const ActiveSource source = state.activeSource;
    const FetchChoices choices = ReadFetchChoices(m_window);
    state.pageAddress = CompleteWorkAddress(workLink, source);
    state.pageText = m_fetcher.FetchPage(state.pageAddress, choices.fetchMode, choices.transcoding);
    const std::string pageText = state.pageText;
    if (pageText.empty()) {
        MessageBox::Show(&m_window, FromGbk(WorkNotFoundMessage()));
        m_window.tabs()->SetPageEnabled(WorkPage::kIndex, false);
        m_window.tabs()->SetCurrentPage(ResultPage::kIndex);
        m_window.searchBox()->setFocus();
        return;
    }
    m_window.tabs()->SetPageEnabled(WorkPage::kIndex, true);
    page.workData()->setText(FromGbk(PickWorkData(pageText, source.workData)));

    const std::string contentsAddress =
        PickTableOfContentsAddress(pageText, source.tableOfContents, state.pageAddress);
    std::string contents;
    {
        // The chapter engine lets window events run while it works.
        WorkflowLock lock(m_window);
        contents = m_fetcher.FetchChapterPage(contentsAddress);
        if (lock.WindowGone())
            return;
    }
    FillChapterList(MakeChapterRows(contents, source.chapterLink, contentsAddress));
}

void WorkDetailsHandler::ResetChapterColumns()
{
    QTreeWidget *list = m_window.workPage().chapterList();
    list->clear();
    list->setColumnCount(0);
    AddListColumns(list, {{QStringLiteral("章节列表"), 300}, {QStringLiteral("链接"), 0}});
}

void WorkDetailsHandler::FillChapterList(const std::vector<ChapterRow> &chapters)
{
    QTreeWidget *list = m_window.workPage().chapterList();
    list->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(static_cast<qsizetype>(chapters.size()));
    for (const ChapterRow &chapter : chapters) {
        auto *item = new QTreeWidgetItem;
        item->setText(0, FromGbk(chapter.title));
        item->setText(1, FromGbk(chapter.address));
        item->setCheckState(0, Qt::Unchecked);
        items.append(item);
    }
    list->addTopLevelItems(items);
}
