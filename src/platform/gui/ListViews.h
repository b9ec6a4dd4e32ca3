#pragma once

#include <QString>

#include <initializer_list>

class QTreeWidget;

// The report-style list views of the main window: rows of cells, one column
// caption and width each; a width of 0 hides the column (its cells still
// hold text that the handlers read).
struct ListColumn {
    QString caption;
    int width;
};

QTreeWidget *NewListView(const QString &objectName);
void AddListColumns(QTreeWidget *list, std::initializer_list<ListColumn> columns);
