#include "app/ActiveSourceConfig.h"
#include "app/AppState.h"
#include "app/gui/MainWindow.h"
#include "app/gui/StartProgram.h"
#include "diagnostics/gui/AboutWindow.h"
#include "diagnostics/gui/DebugWindow.h"
#include "platform/PlatformHooks.h"
#include "platform/gui/MessageBox.h"
#include "platform/gui/TabControl.h"
#include "support/TempFolder.h"
#include "text/CodePage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {

// A port on this machine where nothing listens: a workflow started by a
// test fails at once instead of reaching out.
const char kDeadAddress[] = "http://127.0.0.1:9/";

// A main window over a fresh program folder, with the workflows' message
// boxes answered so that no handler can wait on a person.
class Fixture {
public:
    explicit Fixture(const std::string &sourceNameUtf8 = {})
    {
        if (!sourceNameUtf8.empty()) {
            ActiveSource source;
            source.name = Utf8ToGbk(sourceNameUtf8);
            source.searchAddress = std::string(kDeadAddress) + "?q=";
            SaveActiveSource(folder.path(), source);
        }
        MessageBox::SetResponder([](const MessageBox::Request &) { return QMessageBox::Ok; });
        window = std::make_unique<MainWindow>(state, folder.path(), hooks);
        window->show();
    }
    ~Fixture() { MessageBox::SetResponder({}); }

    // Closes every modal window (a reader, a manager) as soon as it opens.
    void CloseModalWindows()
    {
        QObject::connect(&modalCloser, &QTimer::timeout, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        modalCloser.start(10);
    }

    template <typename T>
    T *Find(const char *utf8Name) const
    {
        return window->findChild<T *>(QString::fromUtf8(utf8Name));
    }

    TempFolder folder;
    AppState state;
    PlatformHooks hooks;
    std::unique_ptr<MainWindow> window;
    QTimer modalCloser;
};

QList<DebugWindow *> OpenDebugWindows()
{
    QList<DebugWindow *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *debug = qobject_cast<DebugWindow *>(widget); debug != nullptr && debug->isVisible())
            windows << debug;
    }
    return windows;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void freshStartShowsDefaults_data();
    void freshStartShowsDefaults();
    void controlsHaveTheirTexts();
    void enterInSearchBoxStartsSearch();
    void controlsReachTheirHandlers();
    void disabledPageCannotBecomeCurrent();
    void debugWindowIsNeverMoreThanOne();
    void aboutWindowIsModalWithPicture();
    void closingMainWindowClosesDebugWindowAndEndsLoop();
    void labelsShowMarkupAsText();
};

void TestMainWindow::freshStartShowsDefaults_data()
{
    QTest::addColumn<QString>("configuredName");
    QTest::newRow("no configuration file") << QString();
    QTest::newRow("configured source") << QStringLiteral("飞卢小说");
}

void TestMainWindow::freshStartShowsDefaults()
{
    QFETCH(QString, configuredName);
    Fixture f(configuredName.toStdString());

    QCOMPARE(f.window->windowTitle(), QStringLiteral("Quillora v1.2"));
    QCOMPARE(f.window->size(), QSize(729, 497));
    for (const char *checked : {"单选框_UTF8", "单选框_模式2", "单选框_编码GBK"})
        QVERIFY2(f.Find<QRadioButton>(checked)->isChecked(), checked);
    for (const char *unchecked : {"单选框_USC2", "单选框_模式1", "单选框_模式3", "单选框_编码普通", "单选框_编码utf8"})
        QVERIFY2(!f.Find<QRadioButton>(unchecked)->isChecked(), unchecked);

    auto *searchBox = f.Find<QLineEdit>("编辑框_搜索框");
    QCOMPARE(searchBox->text(), QStringLiteral("Torva"));
    QCOMPARE(f.window->focusWidget(), searchBox);

    auto *tabs = f.Find<TabControl>("高级选择夹1");
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY(!tabs->isTabEnabled(1));
    QVERIFY(tabs->isTabEnabled(0) && tabs->isTabEnabled(2));
    QVERIFY(!f.Find<QCheckBox>("选择框1")->isEnabled());

    QCOMPARE(f.Find<QLabel>("透明标签_选择网站")->text(), configuredName);
    QCOMPARE(QString::fromStdString(GbkToUtf8(f.state.activeSource.name)), configuredName);
}

void TestMainWindow::controlsHaveTheirTexts()
{
    struct Expected {
        const char *name;
        const char *text;
    };
    const Expected buttons[] = {{"按钮_搜索", "作品搜索"}, {"按钮1", "书源管理"}, {"按钮2", "调试"},
                                {"按钮_下载1", "打开文件夹"}, {"按钮_下载", "下载"}, {"选择框1", "全选"},
                                {"单选框_UTF8", "UTF8"}, {"单选框_USC2", "USC2"}, {"单选框_模式1", "模1"},
                                {"单选框_模式2", "模2"}, {"单选框_模式3", "模3"}, {"单选框_编码普通", "默认"},
                                {"单选框_编码utf8", "UTF8"}, {"单选框_编码GBK", "GBK"}};
    const Expected labels[] = {{"透明标签2", "URL加密"}, {"透明标签1", "取码"}, {"透明标签3", "转码"},
                               {"透明标签_数据", "7感觉分隔符\r\n湖广会馆"}, {"透明标签_作品名", ""},
                               {"透明标签_下载状态", ""}};
    Fixture f;
    for (const Expected &e : buttons) {
        auto *button = f.Find<QAbstractButton>(e.name);
        QVERIFY2(button != nullptr, e.name);
        QCOMPARE(button->text(), QString::fromUtf8(e.text));
    }
    for (const Expected &e : labels) {
        auto *label = f.Find<QLabel>(e.name);
        QVERIFY2(label != nullptr, e.name);
        QCOMPARE(label->text(), QString::fromUtf8(e.text));
    }
    for (const char *name : {"分组框1", "分组框2", "分组框3", "图片框5", "图片框1", "状态条1", "编辑框1"})
        QVERIFY2(f.Find<QWidget>(name) != nullptr, name);

    auto *tabs = f.Find<TabControl>("高级选择夹1");
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(0), QStringLiteral(" 搜索作品  "));
    QCOMPARE(tabs->tabText(1), QStringLiteral("  作品详情 "));
    QCOMPARE(tabs->tabText(2), QStringLiteral("操作说明"));

    auto *results = f.Find<QTreeWidget>("超级列表框_搜列表");
    QCOMPARE(results->columnCount(), 4);
    QCOMPARE(results->headerItem()->text(0), QStringLiteral("     封面"));
    QCOMPARE(results->headerItem()->text(1), QStringLiteral("作品名称"));
    QVERIFY(results->isColumnHidden(2) && results->isColumnHidden(3));

    // Every chapter row has a check box, unchecked, however it was added.
    auto *chapters = f.Find<QTreeWidget>("超级列表框_章节列表");
    new QTreeWidgetItem(chapters, QStringList{QStringLiteral("第一章"), QStringLiteral("http://a/1")});
    chapters->addTopLevelItem(new QTreeWidgetItem(QStringList{QStringLiteral("第二章")}));
    QCOMPARE(chapters->topLevelItemCount(), 2);
    for (int row = 0; row < 2; ++row)
        QCOMPARE(chapters->topLevelItem(row)->checkState(0), Qt::Unchecked);

    const QString instructions = f.Find<QPlainTextEdit>("编辑框1")->toPlainText();
    for (const char *part : {"url加密：USC2", "转码：默认", "url加密：UTF8", "转码：GBK", "说明",
                             "搜索地址：小说网站搜索链接地址；不可空；"})
        QVERIFY2(instructions.contains(QString::fromUtf8(part)), part);
}

void TestMainWindow::enterInSearchBoxStartsSearch()
{
    Fixture f("测试源");
    auto *searchBox = f.Find<QLineEdit>("编辑框_搜索框");
    const auto searches = [&f] { return f.window->RunCount(MainWindow::Handler::Search); };

    QTest::keyClicks(searchBox, QStringLiteral("ab"));
    QTest::keyClick(searchBox, Qt::Key_Space);
    QTest::keyClick(searchBox, Qt::Key_Escape);
    QTest::keyClick(searchBox, Qt::Key_M, Qt::ControlModifier);
    QCOMPARE(searches(), 0);
    QCOMPARE(searchBox->text(), QStringLiteral("Torvaab "));

    QTest::keyClick(searchBox, Qt::Key_Return);
    QCOMPARE(searches(), 1);
    QTest::keyClick(searchBox, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(searches(), 2);

    f.window->OnSearchKey(65);
    QCOMPARE(searches(), 2);
    f.window->OnSearchKey(13);
    QCOMPARE(searches(), 3);
}

void TestMainWindow::controlsReachTheirHandlers()
{
    using H = MainWindow::Handler;
    Fixture f("测试源");
    f.CloseModalWindows();
    const QString deadAddress = QString::fromUtf8(kDeadAddress);
    f.window->tabs()->SetPageEnabled(WorkPage::kIndex, true);
    f.window->tabs()->SetCurrentPage(WorkPage::kIndex);
    f.window->workPage().selectAll()->setEnabled(true);
    QCoreApplication::processEvents(); // let the page that just came up lay itself out

    auto *chapters = f.window->workPage().chapterList();
    auto *chapter = new QTreeWidgetItem(chapters, QStringList{QStringLiteral("第一章"), deadAddress});
    // The test library's double-click on a widget lacks the press before it.
    const QPoint onChapter = chapters->visualItemRect(chapter).center();
    QTest::mouseClick(chapters->viewport(), Qt::LeftButton, {}, onChapter);
    QTest::mouseDClick(chapters->viewport(), Qt::LeftButton, {}, onChapter);
    QCOMPARE(f.window->RunCount(H::ChapterDoubleClicked), 1);

    const struct {
        const char *button;
        H handler;
    } clicks[] = {{"选择框1", H::SelectAll}, {"按钮_下载", H::Download}, {"按钮_下载1", H::OpenFolder}};
    for (const auto &click : clicks) {
        QTest::mouseClick(f.Find<QAbstractButton>(click.button), Qt::LeftButton);
        QVERIFY2(f.window->RunCount(click.handler) == 1, click.button);
    }

    f.window->tabs()->SetCurrentPage(ResultPage::kIndex);
    QTest::mouseClick(f.Find<QAbstractButton>("按钮_搜索"), Qt::LeftButton);
    QCOMPARE(f.window->RunCount(H::Search), 1);

    auto *results = f.window->resultPage().resultList();
    auto *row = new QTreeWidgetItem(results, QStringList{QString(), QStringLiteral("作品"), deadAddress});
    QCoreApplication::processEvents();
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, results->visualItemRect(row).center());
    QCOMPARE(f.window->RunCount(H::WorkChosen), 1);
}

void TestMainWindow::disabledPageCannotBecomeCurrent()
{
    Fixture f;
    TabControl *tabs = f.window->tabs();
    QVERIFY(!tabs->IsPageEnabled(1));

    tabs->SetCurrentPage(1);
    QCOMPARE(tabs->currentIndex(), 0);
    tabs->setCurrentIndex(1);
    QCOMPARE(tabs->currentIndex(), 0);
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
    QCOMPARE(tabs->currentIndex(), 0);

    tabs->SetCurrentPage(2);
    QCOMPARE(tabs->currentIndex(), 2);
    tabs->SetCurrentPage(7);
    QCOMPARE(tabs->currentIndex(), 2);

    tabs->SetPageEnabled(1, true);
    tabs->SetCurrentPage(1);
    QCOMPARE(tabs->currentIndex(), 1);
}

void TestMainWindow::debugWindowIsNeverMoreThanOne()
{
    Fixture f;
    QVERIFY(f.window->debugWindow() == nullptr);
    auto *debugButton = f.Find<QAbstractButton>("按钮2");

    QTest::mouseClick(debugButton, Qt::LeftButton);
    QPointer<DebugWindow> first = f.window->debugWindow();
    QVERIFY(first != nullptr);
    QCOMPARE(first->windowTitle(), QStringLiteral("Quillora"));
    QCOMPARE(first->addressBox()->text(), QStringLiteral("*"));
    QCOMPARE(first->pageTextBox()->toPlainText(), QStringLiteral("*"));
    QVERIFY(!first->isModal());

    QTest::mouseClick(debugButton, Qt::LeftButton);
    QCOMPARE(f.window->debugWindow(), first.data());
    QCOMPARE(OpenDebugWindows().size(), 1);

    first->ShowSearch("http://a/?q=%61", Utf8ToGbk("第一页"));
    QCOMPARE(first->addressBox()->text(), QStringLiteral("http://a/?q=%61"));
    QCOMPARE(first->pageTextBox()->toPlainText(), QStringLiteral("第一页"));

    // A huge page of one line shows its start at once instead of freezing
    // the window while the whole of it is laid out.
    std::string huge;
    for (int i = 0; i < 200000; ++i)
        huge += "<div><b>x";
    first->ShowSearch("http://a/", huge);
    const QString shown = first->pageTextBox()->toPlainText();
    QVERIFY(shown.startsWith(QStringLiteral("<div><b>x<div>")));
    QVERIFY(shown.size() < 80 * 1024);
    QVERIFY(shown.contains(QStringLiteral("1800000")));

    // Closed by the user, it goes away; the next click opens a fresh one.
    first->close();
    QTRY_VERIFY(first.isNull());
    QVERIFY(f.window->debugWindow() == nullptr);
    QTest::mouseClick(debugButton, Qt::LeftButton);
    QVERIFY(f.window->debugWindow() != nullptr);
    QCOMPARE(f.window->debugWindow()->addressBox()->text(), QStringLiteral("*"));
    QCOMPARE(OpenDebugWindows().size(), 1);
}

void TestMainWindow::aboutWindowIsModalWithPicture()
{
    Fixture f;
    bool seen = false;
    QTimer::singleShot(0, this, [&seen] {
        auto *about = qobject_cast<AboutWindow *>(QApplication::activeModalWidget());
        if (about == nullptr)
            return;
        seen = about->isModal() && about->windowTitle().isEmpty()
               && about->findChild<QLabel *>(QStringLiteral("透明标签1"))->text() == QStringLiteral("自愿打赏")
               && !about->findChild<QLabel *>(QStringLiteral("图片框2"))->pixmap().isNull();
        about->close();
    });
    f.window->OnAboutSelected(); // returns once the window is closed
    QVERIFY(seen);
}

void TestMainWindow::closingMainWindowClosesDebugWindowAndEndsLoop()
{
    TempFolder folder;
    bool debugWasOpen = false;
    QTimer::singleShot(0, this, [&debugWasOpen] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *window = qobject_cast<MainWindow *>(widget)) {
                QTest::mouseClick(window->debugButton(), Qt::LeftButton);
                debugWasOpen = OpenDebugWindows().size() == 1;
                window->close();
            }
        }
    });
    // Should the loop not end by itself, end it so that the failure shows.
    bool loopLeftRunning = false;
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, this, [&loopLeftRunning] {
        loopLeftRunning = true;
        for (QWidget *widget : QApplication::topLevelWidgets())
            widget->close();
        QCoreApplication::quit();
    });
    guard.start(5000);
    QCOMPARE(RunMainWindow(folder.path()), 0);
    QVERIFY(!loopLeftRunning);
    QVERIFY(debugWasOpen);
    QVERIFY(OpenDebugWindows().isEmpty());
}

// Work names and data come from web pages: a name that reads "<b>x</b>" after
// HTML-to-text must be shown as those characters, not drawn bold.
void TestMainWindow::labelsShowMarkupAsText()
{
    Fixture f;
    for (const char *name : {"透明标签_选择网站", "透明标签_作品名", "透明标签_数据", "透明标签_下载状态"}) {
        auto *label = f.Find<QLabel>(name);
        QVERIFY2(label != nullptr, name);
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
