#include "ResultPage.h"

#include "platform/gui/ListViews.h"
#include "platform/gui/TabControl.h"

#include <QTreeWidget>
#include <QWidget>

ResultPage::ResultPage(TabControl &tabs)
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("page_搜索作品"));
    tabs.addTab(page, QStringLiteral(" 搜索作品  "));

    m_resultList = NewListView(QStringLiteral("超级列表框_搜列表"));
    AddListColumns(m_resultList, {{QStringLiteral("     封面"), 100},
                                  {QStringLiteral("作品名称"), 610},
                                  {QStringLiteral("作品链接"), 0},
                                  {QStringLiteral("主图链接"), 0}});
    // Column 0 shows the covers, drawn at the cover surface's size.
    m_resultList->setIconSize(QSize(100, 132));
    tabs.PlaceOnPage(kIndex, m_resultList, QRect(1, 23, 719, 337));
}
