#pragma once

#include <QDialog>

#include <filesystem>
#include <string>

struct AppState;
class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class SourceStore;

// "小说源添加": lists every stored source, deletes one, opens the add and
// modify dialogs, and on a double-click makes a source the active one (in
// AppState, the configuration file and the main window's source label) and
// closes. The list is filled once and then changed row by row; the cells
// hold the texts as stored (the quote token, "0" for an empty field).
class SourceManagerWindow : public QDialog {
    Q_OBJECT

public:
    // `sourceLabel` is the main window's 透明标签_选择网站; may be null.
    SourceManagerWindow(AppState &state, std::filesystem::path programFolder, SourceStore &store,
                        QLabel *sourceLabel, QWidget *parent = nullptr);

    // Opens the program folder's store (making it on first use) and runs the
    // window modally until it is closed or a source is chosen.
    static void Run(AppState &state, const std::filesystem::path &programFolder, QLabel *sourceLabel,
                    QWidget *parent = nullptr);

    QTreeWidget *list() const { return m_list; } // 超级列表框_自定义新闻源
    QMenu *popupMenu() const { return m_menu; }  // 右键菜单
    // The selected row, -1 when there is none.
    int CurrentRow() const;
    // Set to "添加" by the add dialog after a successful add.
    const std::string &addDialogResult() const { return m_addDialogResult; }

public slots:
    void Load();
    void Add();
    void Modify();
    void Delete();
    void Choose();

private:
    void BuildControls();
    void ShowPopupMenu(const QPoint &position);
    void AppendRow(const struct SourceRecord &row);
    void SetCurrentRow(int row);

    AppState &m_state;
    std::filesystem::path m_programFolder;
    SourceStore &m_store;
    QLabel *m_sourceLabel;
    std::string m_addDialogResult;
    QTreeWidget *m_list = nullptr;
    QMenu *m_menu = nullptr;
};
