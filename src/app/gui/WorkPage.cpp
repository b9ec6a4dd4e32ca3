#include "WorkPage.h"

#include "platform/gui/ListViews.h"
#include "platform/gui/TabControl.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {

QLabel *NewLabel(const QString &objectName, const QString &text = QString())
{
    auto *label = new QLabel(text);
    label->setTextFormat(Qt::PlainText); // work names and data come from web pages
    label->setObjectName(objectName);
    return label;
}

// Every row of the chapter list carries a check box, unchecked when the row
// is added, whoever adds it.
void GiveNewRowsCheckBoxes(QTreeWidget *list)
{
    QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, list,
                     [list](const QModelIndex &parent, int first, int last) {
                         if (parent.isValid())
                             return;
                         for (int row = first; row <= last; ++row) {
                             QTreeWidgetItem *item = list->topLevelItem(row);
                             if (item != nullptr && !item->data(0, Qt::CheckStateRole).isValid())
                                 item->setCheckState(0, Qt::Unchecked);
                         }
                     });
}

} // namespace

WorkPage::WorkPage(TabControl &tabs)
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("page_作品详情"));
    tabs.addTab(page, QStringLiteral("  作品详情 "));

    m_workName = NewLabel(QStringLiteral("透明标签_作品名"));
    tabs.PlaceOnPage(kIndex, m_workName, QRect(6, 27, 208, 24));

    m_cover = NewLabel(QStringLiteral("图片框1"));
    m_cover->setScaledContents(true);
    tabs.PlaceOnPage(kIndex, m_cover, QRect(3, 59, 200, 264));

    m_workData = NewLabel(QStringLiteral("透明标签_数据"), QStringLiteral("7感觉分隔符\r\n湖广会馆"));
    // Work data often runs over two lines; the first stays whole.
    m_workData->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    tabs.PlaceOnPage(kIndex, m_workData, QRect(232, 35, 424, 24));

    m_chapterList = NewListView(QStringLiteral("超级列表框_章节列表"));
    AddListColumns(m_chapterList, {{QStringLiteral("章节列表"), 300}, {QStringLiteral("链接"), 0}});
    GiveNewRowsCheckBoxes(m_chapterList);
    tabs.PlaceOnPage(kIndex, m_chapterList, QRect(205, 63, 512, 249));

    m_selectAll = new QCheckBox(QStringLiteral("全选"));
    m_selectAll->setObjectName(QStringLiteral("选择框1"));
    tabs.PlaceOnPage(kIndex, m_selectAll, QRect(208, 314, 88, 24));

    m_downloadStatus = NewLabel(QStringLiteral("透明标签_下载状态"));
    tabs.PlaceOnPage(kIndex, m_downloadStatus, QRect(279, 317, 312, 24));

    m_openFolder = new QPushButton(QStringLiteral("打开文件夹"));
    m_openFolder->setObjectName(QStringLiteral("按钮_下载1"));
    tabs.PlaceOnPage(kIndex, m_openFolder, QRect(568, 316, 72, 24));

    m_download = new QPushButton(QStringLiteral("下载"));
    m_download->setObjectName(QStringLiteral("按钮_下载"));
    tabs.PlaceOnPage(kIndex, m_download, QRect(645, 315, 72, 24));
}
