// The novel workflows through the real main window (offscreen) against the
// fixture novel site: search, work choice, reader, download, open folder, and
// the window's behaviour while a download runs.

#include "app/ActiveSourceConfig.h"
#include "app/AppState.h"
#include "app/gui/MainWindow.h"
#include "diagnostics/gui/DebugWindow.h"
#include "novel/gui/ReaderWindow.h"
#include "novel/gui/SearchHandler.h"
#include "platform/PlatformHooks.h"
#include "platform/gui/MessageBox.h"
#include "platform/gui/QtText.h"
#include "platform/gui/TabControl.h"
#include "support/FileBytes.h"
#include "support/FixtureSite.h"
#include "support/TempFolder.h"
#include "text/CodePage.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

namespace fs = std::filesystem;

namespace {

QString U(const std::string &utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }


// Lets events run like the desktop does, records the folders it is asked to
// open, and runs a test's probe at every chance the workflows give it.
class TestHooks : public PlatformHooks {
public:
    void ProcessPendingEvents() override
    {
        if (probe)
            probe();
        QCoreApplication::processEvents();
    }
    bool OpenFolder(const std::string &utf8Path) override
    {
        openedFolders.push_back(utf8Path);
        return true;
    }

    std::function<void()> probe;
    std::vector<std::string> openedFolders;
};

// One program folder with the fixture's UTF-8 source active, one window.
struct Fixture {
    explicit Fixture(bool gbkSite = false, const std::string &sourceName = {})
    {
        ActiveSource source = site.Source(gbkSite);
        if (!sourceName.empty())
            source.name = Utf8ToGbk(sourceName);
        SaveActiveSource(program.path(), source);
        window = std::make_unique<MainWindow>(state, program.path(), hooks);
        if (gbkSite)
            window->transcodeDefault()->setChecked(true);
        MessageBox::SetResponder([this](const MessageBox::Request &request) {
            messages << request.text;
            return QMessageBox::Ok;
        });
    }
    ~Fixture() { MessageBox::SetResponder({}); }

    QTreeWidget *results() const { return window->resultPage().resultList(); }
    QTreeWidget *chapters() const { return window->workPage().chapterList(); }

    void Search(const QString &keyword)
    {
        window->searchBox()->setText(keyword);
        QTest::mouseClick(window->searchButton(), Qt::LeftButton);
    }
    void ChooseWork(int row)
    {
        results()->setCurrentItem(results()->topLevelItem(row));
        window->OnWorkChosen();
    }
    fs::path WorkFolder(const char *source, const char *work) const { return program.path() / source / work; }

    FixtureSite site;
    TempFolder program;
    AppState state;
    TestHooks hooks;
    std::unique_ptr<MainWindow> window;
    QStringList messages;
};

} // namespace

class TestNovelWorkflows : public QObject {
    Q_OBJECT

private slots:
    void searchFillsRowsInPageOrderWithCovers();
    void searchMessagesKeepThePreviousRows_data();
    void searchMessagesKeepThePreviousRows();
    void extraCoversAreFetchedButShownByNoRow();
    void captureIsABmpOfTheCoverBox();
    void workChoiceShowsTheWorkAndItsChapters();
    void workPageEmptyShowsItsMessage();
    void readerShowsTitleAndText();
    void downloadWritesTheMarkedChapters();
    void downloadLocksTheControlsAndCloseEndsIt();
    void closingDuringAFetchShowsNothingMore_data();
    void closingDuringAFetchShowsNothingMore();
    void selectAllAndOpenFolder();
    void hostileSourceNameStaysInsideTheProgramFolder();
};

void TestNovelWorkflows::searchFillsRowsInPageOrderWithCovers()
{
    Fixture f;
    f.window->OnDebugClicked();
    f.Search(QString());
    QVERIFY(f.messages.isEmpty());
    QCOMPARE(f.results()->topLevelItemCount(), 3);
    const QString base = U(f.site.SiteUrl(false));
    const QStringList names = {U("星辰之海"), U("青云剑客&侠"), U("无图之书")};
    const QStringList addresses = {base + QStringLiteral("/book/1/"), QStringLiteral("/utf8/book/2/"),
                                   QStringLiteral("//127.0.0.1:%1/utf8/book/3/").arg(f.site.port())};
    for (int row = 0; row < 3; ++row) {
        QTreeWidgetItem *item = f.results()->topLevelItem(row);
        QCOMPARE(item->text(1), names[row]);
        QCOMPARE(item->text(2), addresses[row]);
        QCOMPARE(item->text(3), base + (row == 1 ? QStringLiteral("/cover/2.jpg") : QStringLiteral("/cover/%1.png").arg(row + 1)));
        QVERIFY(!item->icon(0).isNull());
    }
    // A cover keeps its colours; the colour of its top-left pixel is see-through.
    const QImage cover = f.results()->topLevelItem(0)->icon(0).pixmap(QSize(100, 132)).toImage();
    QCOMPARE(cover.size(), QSize(100, 132));
    QCOMPARE(qAlpha(cover.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(cover.pixel(50, 100)), 255);
    // The missing cover shows the empty box, all see-through.
    const QImage empty = f.results()->topLevelItem(2)->icon(0).pixmap(QSize(100, 132)).toImage();
    QCOMPARE(qAlpha(empty.pixel(50, 66)), 0);

    QCOMPARE(f.window->debugWindow()->addressBox()->text(), base + QStringLiteral("/search/"));
    QVERIFY(f.window->debugWindow()->pageTextBox()->toPlainText().contains(U("共搜索到3部")));
    QCOMPARE(f.state.pageAddress, f.site.SiteUrl(false) + "/search/");
}

void TestNovelWorkflows::searchMessagesKeepThePreviousRows_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("encoded");
    QTest::addColumn<QString>("message");
    QTest::newRow("暂无数据") << QStringLiteral("/nodata/") << QString() << QString() << U("暂不数据，请换其他的采集源");
    QTest::newRow("共搜索到0部") << QStringLiteral("/search/") << QStringLiteral("Torva")
                               << QStringLiteral("%54%6F%72%76%61") << U("暂不数据，请换其他的采集源");
    QTest::newRow("empty page") << QStringLiteral("/blank/") << QString() << QString()
                                << U("请检查取名码模式或编码模式是否正确");
}

void TestNovelWorkflows::searchMessagesKeepThePreviousRows()
{
    QFETCH(QString, path);
    QFETCH(QString, keyword);
    QFETCH(QString, encoded);
    QFETCH(QString, message);
    Fixture f;
    f.window->OnDebugClicked();
    f.Search(U("星"));
    QCOMPARE(f.results()->topLevelItemCount(), 1);

    f.state.activeSource.searchAddress = f.site.SiteUrl(false) + ToGbk(path);
    f.window->tabs()->SetPageEnabled(1, true);
    f.window->tabs()->SetCurrentPage(1);
    f.Search(keyword);
    QCOMPARE(f.messages, QStringList{message});
    QCOMPARE(f.window->tabs()->currentIndex(), 0);
    QCOMPARE(f.results()->topLevelItemCount(), 1);
    QCOMPARE(f.results()->topLevelItem(0)->text(1), U("星辰之海"));
    QVERIFY(!f.results()->topLevelItem(0)->icon(0).isNull());
    // The debug window was filled before the page was judged.
    QCOMPARE(f.window->debugWindow()->addressBox()->text(), U(f.site.SiteUrl(false)) + path + encoded);
    QCOMPARE(f.window->debugWindow()->pageTextBox()->toPlainText(), FromGbk(f.state.pageText));
}

void TestNovelWorkflows::extraCoversAreFetchedButShownByNoRow()
{
    Fixture f;
    // Only the work listed with an absolute address makes a row; the
    // picture expression still finds all three covers.
    f.state.activeSource.searchList = Utf8ToGbk("<a class=#引号name#引号 href=#引号(http.*?)#引号>(.*?)</a>");
    const int before = f.site.RequestCount();
    f.Search(QString());
    QVERIFY(f.messages.isEmpty());
    QCOMPARE(f.results()->topLevelItemCount(), 1);
    QCOMPARE(f.site.RequestCount() - before, 1 + 3); // the page, then every cover
    QCOMPARE(f.results()->topLevelItem(0)->text(3), U(f.site.SiteUrl(false) + "/cover/1.png"));
    QVERIFY(!f.results()->topLevelItem(0)->icon(0).isNull());
}

void TestNovelWorkflows::captureIsABmpOfTheCoverBox()
{
    Fixture f;
    QLabel *box = f.window->coverSurface();
    QPixmap red(100, 132);
    red.fill(Qt::red);
    box->setPixmap(red);
    const QByteArray bmp = SearchHandler::CaptureWindowBitmap(box);
    QVERIFY(bmp.startsWith("BM"));
    const QImage image = QImage::fromData(bmp, "BMP");
    QCOMPARE(image.size(), QSize(100, 132));
    QCOMPARE(QColor(image.pixel(10, 10)), QColor(Qt::red));
    QVERIFY(SearchHandler::CaptureWindowBitmap(nullptr).isEmpty());

    // On a scaled screen the capture still has the box's own size: the same
    // checks once more in a process whose screen is scaled twice.
    if (qEnvironmentVariableIsSet("QUILLORA_SCALED_RUN"))
        return;
    QProcess scaled;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    environment.insert(QStringLiteral("QUILLORA_SCALED_RUN"), QStringLiteral("1"));
    scaled.setProcessEnvironment(environment);
    scaled.start(QCoreApplication::applicationFilePath(), {QStringLiteral("captureIsABmpOfTheCoverBox")});
    QVERIFY(scaled.waitForFinished(20000));
    QVERIFY2(scaled.exitStatus() == QProcess::NormalExit && scaled.exitCode() == 0,
             scaled.readAllStandardOutput().constData());
}

void TestNovelWorkflows::workChoiceShowsTheWorkAndItsChapters()
{
    Fixture f;
    f.Search(QString());
    QVERIFY(!f.window->workPage().selectAll()->isEnabled());

    // First choice after start-up: the results stay in view, page 1 opens up.
    f.ChooseWork(0);
    QCOMPARE(f.window->tabs()->currentIndex(), 0);
    QVERIFY(f.window->tabs()->IsPageEnabled(1));
    QVERIFY(f.window->workPage().selectAll()->isEnabled());
    QCOMPARE(f.window->workPage().workName()->text(), U("星辰之海"));
    QCOMPARE(f.window->workPage().workData()->text(), U("状态：连载中 & 共2000章"));
    QVERIFY(!f.window->workPage().cover()->pixmap().isNull());
    QCOMPARE(f.chapters()->topLevelItemCount(), 2000);
    QCOMPARE(f.chapters()->columnCount(), 2);
    QCOMPARE(f.chapters()->headerItem()->text(0), U("章节列表"));
    QCOMPARE(f.chapters()->headerItem()->text(1), U("链接"));
    QCOMPARE(f.chapters()->columnWidth(0), 300);
    QVERIFY(f.chapters()->isColumnHidden(1));
    QCOMPARE(f.chapters()->topLevelItem(1999)->text(0), U("第2000章 星海2000"));
    QCOMPARE(f.chapters()->topLevelItem(1999)->text(1), U(f.site.SiteUrl(false) + "/book/1/2000.html"));
    QCOMPARE(f.chapters()->topLevelItem(0)->checkState(0), Qt::Unchecked);
    f.chapters()->topLevelItem(0)->setCheckState(0, Qt::Checked);

    // Second choice: the details page comes to the front; marks are gone.
    f.ChooseWork(2);
    QCOMPARE(f.window->tabs()->currentIndex(), 1);
    QCOMPARE(f.window->workPage().workName()->text(), U("无图之书"));
    QVERIFY(f.window->workPage().cover()->pixmap().isNull());
    QCOMPARE(f.chapters()->topLevelItemCount(), 5);
    QCOMPARE(f.chapters()->topLevelItem(0)->checkState(0), Qt::Unchecked);
    QCOMPARE(f.state.pageAddress, f.site.SiteUrl(false) + "/book/3/");
    QVERIFY(f.messages.isEmpty());
}

void TestNovelWorkflows::workPageEmptyShowsItsMessage()
{
    Fixture f;
    f.Search(QString());
    f.ChooseWork(1);
    f.ChooseWork(1);
    QCOMPARE(f.window->tabs()->currentIndex(), 1);
    f.results()->topLevelItem(0)->setText(2, QStringLiteral("/utf8/blank/"));
    f.ChooseWork(0);
    QCOMPARE(f.messages, QStringList{U("未查询到数据")});
    QCOMPARE(f.window->tabs()->currentIndex(), 0);
    QVERIFY(!f.window->tabs()->IsPageEnabled(1));
    QCOMPARE(f.chapters()->topLevelItemCount(), 0);
    QCOMPARE(f.window->workPage().workData()->text(), U("状态：连载中 & 共10章")); // the previous work's
}

void TestNovelWorkflows::readerShowsTitleAndText()
{
    Fixture f(true); // the GBK site, read with "默认"
    f.Search(QString());
    f.ChooseWork(1);
    QCOMPARE(f.chapters()->topLevelItemCount(), 10);
    QStringList titles;
    QStringList texts;
    for (int row : {0, 6}) {
        f.chapters()->setCurrentItem(f.chapters()->topLevelItem(row));
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (auto *reader = qobject_cast<ReaderWindow *>(QApplication::activeModalWidget())) {
                titles << reader->windowTitle();
                texts << reader->textBox()->toPlainText();
                reader->close();
            }
        });
        closer.start(10);
        f.window->OnChapterDoubleClicked();
    }
    QCOMPARE(titles, (QStringList{U("《青云剑客&侠》  第一章 启程"), U("《青云剑客&侠》  第七章 空白页")}));
    QCOMPARE(texts[0].split(QLatin1Char('\n')).first(), U("《青云剑客&侠》  第一章 启程"));
    QCOMPARE(texts[0].split(QLatin1Char('\n')).at(1), U("    青云剑客&侠第1章，开篇。"));
    QCOMPARE(texts[1], U("《青云剑客&侠》  第七章 空白页\n"));
    QCOMPARE(f.state.chapterTitle, Utf8ToGbk("第七章 空白页"));
}

void TestNovelWorkflows::downloadWritesTheMarkedChapters()
{
    Fixture f;
    f.Search(QString());
    f.ChooseWork(1);
    QCOMPARE(f.chapters()->topLevelItemCount(), 10);
    for (int row : {0, 2, 6})
        f.chapters()->topLevelItem(row)->setCheckState(0, Qt::Checked);

    QStringList statusTexts;
    QLabel *status = f.window->workPage().downloadStatus();
    f.hooks.probe = [&] {
        if (statusTexts.isEmpty() || statusTexts.last() != status->text())
            statusTexts << status->text();
    };
    QTest::mouseClick(f.window->workPage().downloadButton(), Qt::LeftButton);
    f.hooks.probe();
    QCOMPARE(statusTexts, (QStringList{U("你选中了3"), U("你选中了3  当前还剩下2  已经完成下载1"),
                                       U("你选中了3  当前还剩下1  已经完成下载2"),
                                       U("你选中了3  当前还剩下0  已经完成下载3")}));

    const fs::path folder = f.WorkFolder("星海书屋UTF8", "青云剑客&侠");
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    QCOMPARE(names, (std::vector<std::string>{"第一章启程.txt", "第七章空白页.txt", "第三章山水.txt"}));
    QCOMPARE(ReadFileBytes(folder / "第一章启程.txt"), FixtureSite::ChapterFileText(2, 1));
    QCOMPARE(ReadFileBytes(folder / "第三章山水.txt"), FixtureSite::ChapterFileText(2, 3));
    QCOMPARE(ReadFileBytes(folder / "第七章空白页.txt"), std::string());
}

void TestNovelWorkflows::downloadLocksTheControlsAndCloseEndsIt()
{
    Fixture f;
    f.Search(QString());
    f.ChooseWork(1);
    f.window->workPage().selectAll()->click();
    QCOMPARE(f.chapters()->topLevelItem(9)->checkState(0), Qt::Checked);

    QWidget *locked[] = {f.window->searchButton(), f.window->searchBox(), f.results(), f.chapters(),
                         f.window->workPage().selectAll(), f.window->workPage().downloadButton()};
    int probes = 0;
    bool allLocked = true;
    QLabel *status = f.window->workPage().downloadStatus();
    f.hooks.probe = [&] {
        ++probes;
        for (QWidget *control : locked)
            allLocked = allLocked && !control->isEnabled();
        // Close the window once the second chapter has been written.
        if (status->text().endsWith(U("已经完成下载2")))
            f.window->close();
    };
    QTest::mouseClick(f.window->workPage().downloadButton(), Qt::LeftButton);
    f.hooks.probe = nullptr;
    QVERIFY(probes > 0);
    QVERIFY(allLocked);
    for (QWidget *control : locked)
        QVERIFY(control->isEnabled());

    const fs::path folder = f.WorkFolder("星海书屋UTF8", "青云剑客&侠");
    const auto files = std::distance(fs::directory_iterator(folder), fs::directory_iterator());
    QCOMPARE(files, 2);
    QVERIFY(status->text().endsWith(U("已经完成下载2")));
}

void TestNovelWorkflows::closingDuringAFetchShowsNothingMore_data()
{
    QTest::addColumn<bool>("reader");
    QTest::newRow("table of contents") << false;
    QTest::newRow("chapter for the reader") << true;
}

// The window closes while the chapter engine lets events run: the workflow
// ends without filling the list or opening the reader.
void TestNovelWorkflows::closingDuringAFetchShowsNothingMore()
{
    QFETCH(bool, reader);
    Fixture f;
    f.Search(QString());
    if (reader) {
        f.ChooseWork(1);
        f.chapters()->setCurrentItem(f.chapters()->topLevelItem(0));
    }
    int readersOpened = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto *window = qobject_cast<ReaderWindow *>(QApplication::activeModalWidget())) {
            ++readersOpened;
            window->close();
        }
    });
    closer.start(10);
    f.hooks.probe = [&] { f.window->close(); };
    if (reader)
        f.window->OnChapterDoubleClicked();
    else
        f.ChooseWork(0);
    f.hooks.probe = nullptr;
    QCOMPARE(readersOpened, 0);
    QVERIFY(f.state.chapterText.empty());
    if (!reader)
        QCOMPARE(f.chapters()->topLevelItemCount(), 0);
}

void TestNovelWorkflows::selectAllAndOpenFolder()
{
    Fixture f;
    f.Search(QString());
    f.ChooseWork(1);
    f.window->workPage().downloadStatus()->setText(QStringLiteral("x"));
    f.window->workPage().selectAll()->click();
    QCOMPARE(f.window->workPage().downloadStatus()->text(), QString());
    for (int row = 0; row < 10; ++row)
        QCOMPARE(f.chapters()->topLevelItem(row)->checkState(0), Qt::Checked);
    f.window->workPage().selectAll()->click();
    for (int row = 0; row < 10; ++row)
        QCOMPARE(f.chapters()->topLevelItem(row)->checkState(0), Qt::Unchecked);

    QTest::mouseClick(f.window->workPage().openFolderButton(), Qt::LeftButton);
    const fs::path folder = f.WorkFolder("星海书屋UTF8", "青云剑客&侠");
    QCOMPARE(f.hooks.openedFolders, std::vector<std::string>{folder.string()});
    QVERIFY(fs::is_directory(folder));
    QVERIFY(fs::is_empty(folder));

    // Nothing marked: the folders are made and the label says so.
    QTest::mouseClick(f.window->workPage().downloadButton(), Qt::LeftButton);
    QCOMPARE(f.window->workPage().downloadStatus()->text(), U("你选中了0"));
}

void TestNovelWorkflows::hostileSourceNameStaysInsideTheProgramFolder()
{
    Fixture f(false, "../..");
    f.Search(QString());
    f.ChooseWork(0);
    f.window->workPage().workName()->setText(QStringLiteral("../../../tmp/x"));
    f.chapters()->topLevelItem(0)->setCheckState(0, Qt::Checked);
    QTest::mouseClick(f.window->workPage().downloadButton(), Qt::LeftButton);
    const fs::path folder = f.program.path() / "未命名" / "......tmpx";
    QVERIFY(fs::exists(folder / "第1章星海1.txt"));
}

QTEST_MAIN(TestNovelWorkflows)
#include "tst_novel_workflows.moc"
