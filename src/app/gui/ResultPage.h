#pragma once

class QTreeWidget;
class TabControl;

// Page 0 of the main window's tab control: the works a search found, one
// row each (cover, name, and the hidden work and cover addresses).
class ResultPage {
public:
    static constexpr int kIndex = 0;

    explicit ResultPage(TabControl &tabs);

    QTreeWidget *resultList() const { return m_resultList; }

private:
    QTreeWidget *m_resultList;
};
