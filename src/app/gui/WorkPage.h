#pragma once

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class TabControl;

// Page 1 of the main window's tab control: the chosen work's name, cover and
// data, its chapter list with a check box per row, and the download row.
class WorkPage {
public:
    static constexpr int kIndex = 1;

    explicit WorkPage(TabControl &tabs);

    QLabel *workName() const { return m_workName; }             // 透明标签_作品名
    QLabel *cover() const { return m_cover; }                   // 图片框1
    QLabel *workData() const { return m_workData; }             // 透明标签_数据
    QTreeWidget *chapterList() const { return m_chapterList; }  // 超级列表框_章节列表
    QCheckBox *selectAll() const { return m_selectAll; }        // 选择框1
    QLabel *downloadStatus() const { return m_downloadStatus; } // 透明标签_下载状态
    QPushButton *openFolderButton() const { return m_openFolder; } // 按钮_下载1
    QPushButton *downloadButton() const { return m_download; }     // 按钮_下载

private:
    QLabel *m_workName;
    QLabel *m_cover;
    QLabel *m_workData;
    QTreeWidget *m_chapterList;
    QCheckBox *m_selectAll;
    QLabel *m_downloadStatus;
    QPushButton *m_openFolder;
    QPushButton *m_download;
};
