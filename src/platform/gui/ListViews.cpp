#include "ListViews.h"

#include <QHeaderView>
#include <QTreeWidget>

QTreeWidget *NewListView(const QString &objectName)
{
    auto *list = new QTreeWidget;
    list->setObjectName(objectName);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(false);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsMovable(false);
    return list;
}

void AddListColumns(QTreeWidget *list, std::initializer_list<ListColumn> columns)
{
    QStringList captions;
    for (const ListColumn &column : columns)
        captions << column.caption;
    list->setColumnCount(static_cast<int>(captions.size()));
    list->setHeaderLabels(captions);
    int index = 0;
    for (const ListColumn &column : columns) {
        if (column.width == 0)
            list->setColumnHidden(index, true);
        else
            list->setColumnWidth(index, column.width);
        ++index;
    }
}
