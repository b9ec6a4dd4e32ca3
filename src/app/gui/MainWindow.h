#pragma once

#include "app/gui/InstructionsPage.h"
#include "app/gui/ResultPage.h"
#include "app/gui/WorkPage.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <filesystem>

struct AppState;
class DebugWindow;
class PlatformHooks;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class TabControl;

// The program's main window: the search row, the three choices, the tab
// control with the results, the work and the instructions, and the entry to
// every other window. It holds no workflow itself; each handler hands over
// to its workflow, which reads and writes the controls through the accessors
// below and shares texts through AppState.
//
// The window works on a program folder given by its creator (the real one at
// start, a temporary one in tests): the configuration file and everything a
// workflow saves live there.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // The handlers whose runs are counted, so that tests can see which
    // control reaches which handler.
    enum class Handler { Search, SourceManager, WorkChosen, ChapterDoubleClicked, SelectAll, Download, OpenFolder, Count };

    MainWindow(AppState &state, std::filesystem::path programFolder, PlatformHooks &hooks, QWidget *parent = nullptr);
    ~MainWindow() override;

    AppState &state() const { return m_state; }
    const std::filesystem::path &programFolder() const { return m_programFolder; }
    PlatformHooks &hooks() const { return m_hooks; }
    // The open debug window, or nullptr while there is none.
    DebugWindow *debugWindow() const;

    QPushButton *searchButton() const { return m_searchButton; }       // 按钮_搜索
    QLineEdit *searchBox() const { return m_searchBox; }               // 编辑框_搜索框
    QPushButton *sourceManagerButton() const { return m_sourceButton; } // 按钮1
    QRadioButton *keywordUtf8() const { return m_keywordUtf8; }        // 单选框_UTF8
    QRadioButton *keywordEscape() const { return m_keywordEscape; }    // 单选框_USC2
    QRadioButton *fetchMode1() const { return m_fetchMode[0]; }        // 单选框_模式1
    QRadioButton *fetchMode2() const { return m_fetchMode[1]; }        // 单选框_模式2
    QRadioButton *fetchMode3() const { return m_fetchMode[2]; }        // 单选框_模式3
    QRadioButton *transcodeDefault() const { return m_transcodeDefault; } // 单选框_编码普通
    QRadioButton *transcodeUtf8() const { return m_transcodeUtf8; }    // 单选框_编码utf8
    QRadioButton *transcodeGbk() const { return m_transcodeGbk; }      // 单选框_编码GBK
    QPushButton *debugButton() const { return m_debugButton; }         // 按钮2
    QLabel *sourceName() const { return m_sourceName; }                // 透明标签_选择网站
    TabControl *tabs() const { return m_tabs; }                        // 高级选择夹1
    QLabel *coverSurface() const { return m_coverSurface; }            // 图片框5
    const ResultPage &resultPage() const { return m_resultPage; }
    const WorkPage &workPage() const { return m_workPage; }
    const InstructionsPage &instructionsPage() const { return m_instructionsPage; }

    int RunCount(Handler handler) const { return m_runCounts[static_cast<size_t>(handler)]; }

signals:
    // The window has gone through its stop sequence; the event loop may end.
    void Closed();

public slots:
    // `keyCode` as the keyboard reports it, 13 for Enter.
    void OnSearchKey(int keyCode);
    void OnSearchClicked();
    void OnSourceManagerClicked();
    void OnDebugClicked();
    void OnAboutSelected();

    // Filled in by the novel workflows.
    void OnWorkChosen();
    void OnChapterDoubleClicked();
    void OnSelectAllClicked();
    void OnDownloadClicked();
    void OnOpenFolderClicked();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildSearchRow();
    void BuildChoiceGroups();
    void BuildSourceRow();
    void BuildStatusBar();
    void BuildMenu();
    void ConnectHandlers();
    void OnMainWindowCreated();
    void OnMainWindowClosing();
    void CountRun(Handler handler) { ++m_runCounts[static_cast<size_t>(handler)]; }

    AppState &m_state;
    std::filesystem::path m_programFolder;
    PlatformHooks &m_hooks;
    QPointer<DebugWindow> m_debugWindow;
    bool m_closing = false;
    std::array<int, static_cast<size_t>(Handler::Count)> m_runCounts{};

    QWidget *m_client;
    QPushButton *m_searchButton = nullptr;
    QLineEdit *m_searchBox = nullptr;
    QPushButton *m_sourceButton = nullptr;
    QRadioButton *m_keywordUtf8 = nullptr;
    QRadioButton *m_keywordEscape = nullptr;
    std::array<QRadioButton *, 3> m_fetchMode{};
    QRadioButton *m_transcodeDefault = nullptr;
    QRadioButton *m_transcodeUtf8 = nullptr;
    QRadioButton *m_transcodeGbk = nullptr;
    QPushButton *m_debugButton = nullptr;
    QLabel *m_sourceName = nullptr;
    TabControl *m_tabs;
    ResultPage m_resultPage;
    WorkPage m_workPage;
    InstructionsPage m_instructionsPage;
    QLabel *m_coverSurface = nullptr;
    QStatusBar *m_statusBar = nullptr;
};
