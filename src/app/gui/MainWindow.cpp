#include "MainWindow.h"

#include "app/ActiveSourceConfig.h"
#include "app/AppState.h"
#include "diagnostics/gui/AboutWindow.h"
#include "diagnostics/gui/DebugWindow.h"
#include "platform/gui/QtText.h"
#include "platform/gui/TabControl.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr int kEnterKey = 13;

template <typename Widget>
Widget *Place(Widget *widget, const QString &objectName, const QRect &rect)
{
    widget->setObjectName(objectName);
    widget->setGeometry(rect);
    return widget;
}

QPushButton *NewButton(QWidget *parent, const QString &objectName, const QString &text, const QRect &rect)
{
    return Place(new QPushButton(text, parent), objectName, rect);
}

// Labels show texts that come from sources and web pages: never let Qt take
// such a text for rich text and draw its markup.
QLabel *NewLabel(QWidget *parent, const QString &objectName, const QString &text, const QRect &rect)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return Place(label, objectName, rect);
}

// The layout was drawn for a narrower font; a caption that would be cut
// takes the room it needs, which the groups leave free to the right.
QRadioButton *NewRadio(QWidget *group, const QString &objectName, const QString &text, const QRect &rect)
{
    auto *radio = Place(new QRadioButton(text, group), objectName, rect);
    radio->resize(std::max(rect.width(), radio->sizeHint().width()), rect.height());
    return radio;
}

// A choice group: a frame holding a caption label and its radio buttons,
// which exclude each other because they share the frame as parent.
QGroupBox *NewChoiceGroup(QWidget *parent, const QString &objectName, const QRect &rect,
                          const QString &captionName, const QString &caption, int captionWidth)
{
    auto *group = Place(new QGroupBox(parent), objectName, rect);
    // The buttons stand close together; keep each caption near its circle.
    group->setStyleSheet(QStringLiteral("QRadioButton { spacing: 3px; }"));
    NewLabel(group, captionName, caption, QRect(6, 11, captionWidth, 16));
    return group;
}

TabControl *NewTabs(QWidget *parent)
{
    return Place(new TabControl(parent), QStringLiteral("高级选择夹1"), QRect(1, 81, 720, 344));
}

int KeyCodeOf(const QKeyEvent &event)
{
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter ? kEnterKey : event.key();
}

} // namespace

MainWindow::MainWindow(AppState &state, std::filesystem::path programFolder, PlatformHooks &hooks, QWidget *parent)
    : QMainWindow(parent)
    , m_state(state)
    , m_programFolder(std::move(programFolder))
    , m_hooks(hooks)
    , m_client(new QWidget(this))
    , m_tabs(NewTabs(m_client))
    , m_resultPage(*m_tabs)
    , m_workPage(*m_tabs)
    , m_instructionsPage(*m_tabs)
{
    setObjectName(QStringLiteral("窗口_启动窗口"));
    setWindowTitle(QStringLiteral("Quillora v1.2"));
    setCentralWidget(m_client);
    BuildSearchRow();
    BuildChoiceGroups();
    BuildSourceRow();
    BuildStatusBar();
    BuildMenu();
    ConnectHandlers();
    // The controls sit at fixed places, so the window keeps its size: the
    // client area below the menu bar plus the menu bar itself.
    setFixedSize(729, 497);
    move(50, 50);
    OnMainWindowCreated();
}

MainWindow::~MainWindow()
{
    delete m_debugWindow.data();
}

DebugWindow *MainWindow::debugWindow() const
{
    return m_debugWindow.data();
}

void MainWindow::BuildSearchRow()
{
    m_searchButton = NewButton(m_client, QStringLiteral("按钮_搜索"), QStringLiteral("作品搜索"), QRect(4, 7, 120, 36));
    m_searchBox = Place(new QLineEdit(QStringLiteral("Torva"), m_client), QStringLiteral("编辑框_搜索框"),
                        QRect(130, 7, 462, 32));
    m_searchBox->installEventFilter(this);
    m_sourceButton = NewButton(m_client, QStringLiteral("按钮1"), QStringLiteral("书源管理"), QRect(599, 7, 120, 36));
}

void MainWindow::BuildChoiceGroups()
{
    QGroupBox *encoding = NewChoiceGroup(m_client, QStringLiteral("分组框1"), QRect(6, 45, 178, 29),
                                         QStringLiteral("透明标签2"), QStringLiteral("URL加密"), 56);
    m_keywordUtf8 = NewRadio(encoding, QStringLiteral("单选框_UTF8"), QStringLiteral("UTF8"), QRect(63, 11, 44, 16));
    m_keywordEscape = NewRadio(encoding, QStringLiteral("单选框_USC2"), QStringLiteral("USC2"), QRect(118, 11, 44, 16));
    m_keywordUtf8->setChecked(true);

    QGroupBox *fetch = NewChoiceGroup(m_client, QStringLiteral("分组框2"), QRect(176, 45, 176, 29),
                                      QStringLiteral("透明标签1"), QStringLiteral("取码"), 34);
    m_fetchMode[0] = NewRadio(fetch, QStringLiteral("单选框_模式1"), QStringLiteral("模1"), QRect(41, 11, 39, 16));
    m_fetchMode[1] = NewRadio(fetch, QStringLiteral("单选框_模式2"), QStringLiteral("模2"), QRect(86, 11, 38, 16));
    m_fetchMode[2] = NewRadio(fetch, QStringLiteral("单选框_模式3"), QStringLiteral("模3"), QRect(128, 11, 45, 16));
    m_fetchMode[1]->setChecked(true);

    QGroupBox *transcode = NewChoiceGroup(m_client, QStringLiteral("分组框3"), QRect(346, 45, 198, 29),
                                          QStringLiteral("透明标签3"), QStringLiteral("转码"), 38);
    m_transcodeDefault =
        NewRadio(transcode, QStringLiteral("单选框_编码普通"), QStringLiteral("默认"), QRect(45, 11, 45, 16));
    m_transcodeUtf8 = NewRadio(transcode, QStringLiteral("单选框_编码utf8"), QStringLiteral("UTF8"), QRect(96, 11, 44, 16));
    m_transcodeGbk = NewRadio(transcode, QStringLiteral("单选框_编码GBK"), QStringLiteral("GBK"), QRect(146, 11, 47, 16));
    m_transcodeGbk->setChecked(true);
}

void MainWindow::BuildSourceRow()
{
    m_debugButton = NewButton(m_client, QStringLiteral("按钮2"), QStringLiteral("调试"), QRect(545, 50, 48, 24));
    m_sourceName = NewLabel(m_client, QStringLiteral("透明标签_选择网站"), QStringLiteral("纵横中文网"),
                            QRect(592, 51, 117, 24));
    // Only a drawing surface for the result list's covers: the search shows
    // each cover here and captures it, so it stays hidden under the tabs.
    m_coverSurface = NewLabel(m_client, QStringLiteral("图片框5"), QString(), QRect(544, 136, 100, 132));
    m_coverSurface->setScaledContents(true);
    m_coverSurface->hide();
}

void MainWindow::BuildStatusBar()
{
    m_statusBar = Place(new QStatusBar(m_client), QStringLiteral("状态条1"), QRect(0, 436, 723, 20));
    m_statusBar->setSizeGripEnabled(false);
    auto *notice = new QLabel(QStringLiteral("本工具仅供学习和研究使用，严禁用于任何违法用途，否则后果自负。"));
    notice->setObjectName(QStringLiteral("状态条1_提示"));
    m_statusBar->addWidget(notice, 1);
}

void MainWindow::BuildMenu()
{
    QMenu *about = menuBar()->addMenu(QStringLiteral("关于作者"));
    about->setObjectName(QStringLiteral("菜单_关于作者"));
    QAction *author = about->addAction(QStringLiteral("作者"));
    author->setObjectName(QStringLiteral("菜单_作者"));
    connect(author, &QAction::triggered, this, &MainWindow::OnAboutSelected);
}

void MainWindow::ConnectHandlers()
{
    connect(m_searchButton, &QPushButton::clicked, this, &MainWindow::OnSearchClicked);
    connect(m_sourceButton, &QPushButton::clicked, this, &MainWindow::OnSourceManagerClicked);
    connect(m_debugButton, &QPushButton::clicked, this, &MainWindow::OnDebugClicked);
    connect(m_resultPage.resultList(), &QTreeWidget::itemClicked, this, &MainWindow::OnWorkChosen);
    connect(m_workPage.chapterList(), &QTreeWidget::itemDoubleClicked, this, &MainWindow::OnChapterDoubleClicked);
    connect(m_workPage.selectAll(), &QCheckBox::clicked, this, &MainWindow::OnSelectAllClicked);
    connect(m_workPage.downloadButton(), &QPushButton::clicked, this, &MainWindow::OnDownloadClicked);
    connect(m_workPage.openFolderButton(), &QPushButton::clicked, this, &MainWindow::OnOpenFolderClicked);
}

void MainWindow::OnMainWindowCreated()
{
    m_workPage.selectAll()->setEnabled(false);
    m_tabs->SetPageEnabled(WorkPage::kIndex, false);
    m_tabs->SetCurrentPage(ResultPage::kIndex);
    m_searchBox->setFocus();
    m_state.activeSource = LoadActiveSource(m_programFolder);
    m_sourceName->setText(FromGbk(m_state.activeSource.name));
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_searchBox && event->type() == QEvent::KeyPress)
        OnSearchKey(KeyCodeOf(*static_cast<QKeyEvent *>(event)));
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::OnSearchKey(int keyCode)
{
    if (keyCode == kEnterKey)
        OnSearchClicked();
}

void MainWindow::OnDebugClicked()
{
    if (m_debugWindow) {
        m_debugWindow->raise();
        m_debugWindow->activateWindow();
        return;
    }
    // No parent: the debug window is a window of its own that the user may
    // put anywhere, and it goes away with the main window's stop sequence.
    m_debugWindow = new DebugWindow;
    m_debugWindow->show();
}

void MainWindow::OnAboutSelected()
{
    AboutWindow about;
    about.exec();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    OnMainWindowClosing();
    event->accept();
}

void MainWindow::OnMainWindowClosing()
{
    if (m_closing)
        return;
    m_closing = true;
    delete m_debugWindow.data();
    emit Closed();
}
