// Hostile sources and pages through the real main window (offscreen): broken
// or runaway expressions, huge, binary and mis-encoded pages, hundreds of bad
// covers, dead hosts and foreign schemes, and chapter titles that are hostile
// file names. Every case ends with a calm outcome, keeps what it must keep,
// and leaves the window able to run a normal search afterwards.

#include "app/ActiveSourceConfig.h"
#include "app/AppState.h"
#include "app/gui/MainWindow.h"
#include "novel/gui/ReaderWindow.h"
#include "platform/PlatformHooks.h"
#include "platform/gui/MessageBox.h"
#include "platform/gui/QtText.h"
#include "platform/gui/TabControl.h"
#include "support/FileBytes.h"
#include "support/FixtureSite.h"
#include "support/LocalServer.h"
#include "support/RawServer.h"
#include "support/TempFolder.h"
#include "text/CodePage.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <array>
#include <cstdint>
#include <memory>
#include <set>

namespace fs = std::filesystem;

namespace {

QString U(const std::string &utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

class QuietHooks : public PlatformHooks {
public:
    void ProcessPendingEvents() override { QCoreApplication::processEvents(); }
    bool OpenFolder(const std::string &) override { return true; }
};

// --- The hostile site's pages. ---

uint32_t Crc32(std::string_view bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string BigEndian32(uint32_t value)
{
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

// A well-formed PNG start claiming 40000 × 40000 pixels, then 30 MB of junk.
std::string HugePicture()
{
    const std::string header = "IHDR" + BigEndian32(40000) + BigEndian32(40000) + std::string("\x08\x06\x00\x00\x00", 5);
    std::string png = "\x89PNG\r\n\x1a\n" + BigEndian32(13) + header + BigEndian32(Crc32(header));
    png.resize(30u * 1024u * 1024u, '\x5A');
    return png;
}

// Bytes 1..255 only, so the page fetch's cut at the first zero keeps it all.
std::string BinaryGarbage(size_t size)
{
    std::string bytes(size, '\0');
    uint32_t state = 12345;
    for (char &byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(1 + (state >> 16) % 255);
    }
    return bytes;
}

std::string Listing(const std::string &address, const std::string &name)
{
    return "<a class=\"name\" href=\"" + address + "\">" + name + "</a>\n";
}

std::string Repeated(std::string_view unit, size_t size)
{
    std::string text;
    text.reserve(size + unit.size());
    while (text.size() < size)
        text += unit;
    return text;
}

const char *const kPasswdMarker = "root:";

struct HostileTitle {
    const char *label;
    std::string title; // UTF-8, as the table of contents shows it
    const char *link;  // the chapter's address on the page
};

std::vector<HostileTitle> HostileTitles()
{
    return {
        {"parent path", "../../x", "/ch/1.html"},
        {"device name", "con", "/ch/1.html"},
        {"5,000 bytes", std::string(5000, 't'), "/ch/1.html"},
        {"5,000 bytes of Chinese", Repeated("章", 5000), "/ch/1.html"},
        {"control characters", "a\x01\x07\x1b[31m\x7f\tb", "/ch/1.html"},
        {"dots", "..", "/ch/1.html"},
        {"empty", "", "/ch/1.html"},
        {"local file", "passwd", "file:///etc/passwd"},
        {"script", "script", "javascript:x"},
        {"absolute path", "/etc/cron.d/x", "/ch/1.html"},
    };
}

class HostileSite {
public:
    HostileSite()
    {
        m_deadPort = RawServer::UnusedPort();
        m_server.Serve("/p/as/", std::string(1024u * 1024u, 'a'));
        m_server.Serve("/p/huge/", Listing("/w/1/", "Huge") + Repeated("<p>filler</p>", 20u * 1024u * 1024u));
        m_server.Serve("/p/binary/", BinaryGarbage(1024u * 1024u), "application/octet-stream");
        m_server.Serve("/p/badutf8/", Listing("/w/\xff\xfe/", "Bad\xc3\x28\xe2\x82name\xf0\x90") + "tail\xed\xa0\x80");
        m_server.Serve("/p/badgbk/", Listing("/w/2/", "G\x81\x20\xff\x80k\x81"));
        m_server.Serve("/p/nested/",
                       Listing("/w/3/", Repeated("<div><b><i><table><tr><td>", 1024u * 1024u) + "Deep") +
                           Repeated("<div><span>", 1024u * 1024u));
        // Built when asked for: the addresses need the port the server got.
        m_server.Route("GET", "/p/covers/", [this](const httplib::Request &, httplib::Response &response) {
            response.set_content(CoversPage(), "text/html");
        });
        m_server.Serve("/cover/text.png", "<html>not a picture</html>", "image/png");
        m_server.Serve("/cover/huge.png", HugePicture(), "image/png");

        const std::string data = "<p class=\"data\">Hostile data</p>";
        m_server.Serve("/work/passwd/", data + "<a class=\"toc\" href=\"file:///etc/passwd\">");
        m_server.Serve("/work/script/", data + "<a class=\"toc\" href=\"javascript:x\">");
        m_server.Serve("/work/titles/", data + "<a class=\"toc\" href=\"/toc/titles.html\">");
        std::string toc = "<dl>";
        for (const HostileTitle &title : HostileTitles())
            toc += "<dd><a href=\"" + std::string(title.link) + "\">" + title.title + "</a></dd>\n";
        m_server.Serve("/toc/titles.html", toc + "</dl>");
        m_server.Serve("/ch/1.html", "<div id=\"content\">&nbsp;&nbsp;&nbsp;&nbsp;Body.<br /></div>");
        m_started = m_server.Start();
    }

    bool started() const { return m_started; }

    // One work and 500 covers: every other one on a refused port, the rest
    // text, and one (the 251st, instead of a refused one) a 30 MB "picture".
    std::string CoversPage() const
    {
        std::string page = Listing("/w/4/", "Covers");
        for (int i = 0; i < 500; ++i) {
            const std::string address = i == 250   ? Url("/cover/huge.png")
                                        : i % 2 == 0 ? "http://127.0.0.1:" + std::to_string(m_deadPort) + "/c.png"
                                                     : Url("/cover/text.png");
            page += "<img class=\"cover\" src=\"" + address + "\">\n";
        }
        return page;
    }
    int deadPort() const { return m_deadPort; }
    std::string Url(const std::string &path) const { return m_server.Url(path); }
    size_t RequestCount() const { return m_server.Requests().size(); }

private:
    LocalServer m_server;
    int m_deadPort = 0;
    bool m_started = false;
};

// One program folder with the fixture's UTF-8 source active, one window.
struct Fixture {
    Fixture()
    {
        SaveActiveSource(program.path(), site.Source(false));
        window = std::make_unique<MainWindow>(state, program.path(), hooks);
        MessageBox::SetResponder([this](const MessageBox::Request &request) {
            messages << request.text;
            return QMessageBox::Ok;
        });
    }
    ~Fixture() { MessageBox::SetResponder({}); }

    QTreeWidget *results() const { return window->resultPage().resultList(); }
    QTreeWidget *chapters() const { return window->workPage().chapterList(); }

    void Search()
    {
        window->searchBox()->clear();
        QTest::mouseClick(window->searchButton(), Qt::LeftButton);
    }
    void ChooseWork(int row)
    {
        results()->setCurrentItem(results()->topLevelItem(row));
        window->OnWorkChosen();
    }
    // The fixture's own source and the window's initial choices, then a
    // search that must list the fixture's three works without a message.
    bool NormalSearchWorks()
    {
        state.activeSource = site.Source(false);
        window->fetchMode2()->setChecked(true);
        window->transcodeGbk()->setChecked(true);
        const qsizetype before = messages.size();
        Search();
        return messages.size() == before && results()->topLevelItemCount() == 3 &&
               results()->topLevelItem(1)->text(1) == U("青云剑客&侠");
    }

    FixtureSite site;
    TempFolder program;
    AppState state;
    QuietHooks hooks;
    std::unique_ptr<MainWindow> window;
    QStringList messages;
};

enum class Rows { Kept, Emptied, Any, One };
enum class Mode { Two, One, Three };
enum class Reading { Gbk, Plain, Utf8 };

struct SearchCase {
    const char *label;
    const char *page;        // path on the hostile site; nullptr: the fixture's search page
    const char *address;     // a whole search address instead ("%1" is the dead port)
    const char *searchList;  // UTF-8; nullptr: the fixture's
    Mode mode;
    Reading reading;
    Rows rows;
    bool emptyPageMessage;
    const char *firstName;   // the one row's name, UTF-8; nullptr: not checked
};

const SearchCase kSearchCases[] = {
    {"list expression unbalanced", nullptr, nullptr, "(<a", Mode::Two, Reading::Gbk, Rows::Emptied, false, nullptr},
    {"list expression bad range", nullptr, nullptr, "[z-a]", Mode::Two, Reading::Gbk, Rows::Emptied, false, nullptr},
    {"list expression empty", nullptr, nullptr, "", Mode::Two, Reading::Gbk, Rows::Any, false, nullptr},
    {"catastrophic expression over 1 MB", "/p/as/", nullptr, "(a+)+b", Mode::Two, Reading::Gbk, Rows::Emptied, false,
     nullptr},
    {"catastrophic expression, browser mode", "/p/as/", nullptr, "(a|aa)+$x", Mode::Three, Reading::Plain,
     Rows::Emptied, false, nullptr},
    {"20 MB page", "/p/huge/", nullptr, nullptr, Mode::Two, Reading::Gbk, Rows::One, false, "Huge"},
    {"binary garbage", "/p/binary/", nullptr, nullptr, Mode::Two, Reading::Gbk, Rows::Emptied, false, nullptr},
    {"binary garbage read as UTF-8", "/p/binary/", nullptr, nullptr, Mode::Three, Reading::Utf8, Rows::Emptied, false,
     nullptr},
    {"binary garbage, single read", "/p/binary/", nullptr, nullptr, Mode::One, Reading::Plain, Rows::Emptied, false,
     nullptr},
    {"invalid UTF-8", "/p/badutf8/", nullptr, nullptr, Mode::Two, Reading::Gbk, Rows::One, false, nullptr},
    {"invalid GBK read as is", "/p/badgbk/", nullptr, nullptr, Mode::Two, Reading::Plain, Rows::One, false, nullptr},
    {"invalid GBK read as UTF-8", "/p/badgbk/", nullptr, nullptr, Mode::Two, Reading::Utf8, Rows::One, false,
     nullptr},
    {"1 MB of unclosed tags", "/p/nested/", nullptr, nullptr, Mode::Two, Reading::Gbk, Rows::One, false, "Deep"},
    {"dead host", nullptr, "http://127.0.0.1:%1/s/", nullptr, Mode::Two, Reading::Gbk, Rows::Kept, true, nullptr},
    {"dead host, single read", nullptr, "http://127.0.0.1:%1/s/", nullptr, Mode::One, Reading::Gbk, Rows::Kept, true,
     nullptr},
    {"dead host, browser mode", nullptr, "http://127.0.0.1:%1/s/", nullptr, Mode::Three, Reading::Gbk, Rows::Kept,
     true, nullptr},
    {"ftp address", nullptr, "ftp://127.0.0.1:%1/", nullptr, Mode::Two, Reading::Gbk, Rows::Kept, true, nullptr},
    {"local file", nullptr, "file:///etc/passwd", nullptr, Mode::Two, Reading::Plain, Rows::Kept, true, nullptr},
    {"local file, single read", nullptr, "file:///etc/passwd", nullptr, Mode::One, Reading::Plain, Rows::Kept, true,
     nullptr},
    {"local file, browser mode", nullptr, "file:///etc/passwd", nullptr, Mode::Three, Reading::Plain, Rows::Kept,
     true, nullptr},
};

void Choose(MainWindow &window, Mode mode, Reading reading)
{
    (mode == Mode::One ? window.fetchMode1() : mode == Mode::Two ? window.fetchMode2() : window.fetchMode3())
        ->setChecked(true);
    (reading == Reading::Gbk    ? window.transcodeGbk()
     : reading == Reading::Utf8 ? window.transcodeUtf8()
                                : window.transcodeDefault())
        ->setChecked(true);
}

// Every regular file under `root` but the configuration file.
std::vector<fs::path> FilesUnder(const fs::path &root)
{
    std::vector<fs::path> files;
    for (const auto &entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file() && entry.path() != ConfigFilePath(root))
            files.push_back(entry.path());
    return files;
}

} // namespace

class TestHostileInput : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void searchEndsCalmly_data();
    void searchEndsCalmly();
    void fiveHundredBadCoversEndCalmly();
    void foreignTableOfContentsAddressReadsNothing_data();
    void foreignTableOfContentsAddressReadsNothing();
    void hostileChapterTitlesStayInsideTheWorkFolder();

private:
    std::unique_ptr<HostileSite> m_site;
};

void TestHostileInput::initTestCase()
{
    m_site = std::make_unique<HostileSite>();
    QVERIFY(m_site->started());
}

void TestHostileInput::searchEndsCalmly_data()
{
    QTest::addColumn<int>("index");
    for (size_t i = 0; i < std::size(kSearchCases); ++i)
        QTest::newRow(kSearchCases[i].label) << static_cast<int>(i);
}

void TestHostileInput::searchEndsCalmly()
{
    QFETCH(int, index);
    const SearchCase &c = kSearchCases[index];
    Fixture f;
    QVERIFY(f.NormalSearchWorks());

    if (c.page != nullptr)
        f.state.activeSource.searchAddress = m_site->Url(c.page);
    if (c.address != nullptr) {
        QString address = QString::fromUtf8(c.address);
        address.replace(QStringLiteral("%1"), QString::number(m_site->deadPort()));
        f.state.activeSource.searchAddress = address.toStdString();
    }
    if (c.searchList != nullptr)
        f.state.activeSource.searchList = Utf8ToGbk(c.searchList);
    Choose(*f.window, c.mode, c.reading);
    QElapsedTimer clock;
    clock.start();
    f.Search();
    qInfo("%s: %lld ms", c.label, static_cast<long long>(clock.elapsed()));

    const QStringList expectedMessages =
        c.emptyPageMessage ? QStringList{U("请检查取名码模式或编码模式是否正确")} : QStringList{};
    QCOMPARE(f.messages, expectedMessages);
    QVERIFY(f.state.pageText.find(kPasswdMarker) == std::string::npos);
    switch (c.rows) {
    case Rows::Kept:
        QCOMPARE(f.results()->topLevelItemCount(), 3);
        QCOMPARE(f.results()->topLevelItem(0)->text(1), U("星辰之海"));
        break;
    case Rows::Emptied: QCOMPARE(f.results()->topLevelItemCount(), 0); break;
    case Rows::One:
        QCOMPARE(f.results()->topLevelItemCount(), 1);
        if (c.firstName != nullptr)
            QVERIFY(f.results()->topLevelItem(0)->text(1).contains(U(c.firstName)));
        break;
    case Rows::Any: break;
    }
    QVERIFY(f.NormalSearchWorks());
}

void TestHostileInput::fiveHundredBadCoversEndCalmly()
{
    Fixture f;
    QVERIFY(f.NormalSearchWorks());
    f.state.activeSource.searchAddress = m_site->Url("/p/covers/");
    const size_t before = m_site->RequestCount();
    QElapsedTimer clock;
    clock.start();
    f.Search();
    qInfo("500 covers: %lld ms", static_cast<long long>(clock.elapsed()));

    QVERIFY(f.messages.isEmpty());
    QCOMPARE(f.results()->topLevelItemCount(), 1);
    QTreeWidgetItem *row = f.results()->topLevelItem(0);
    QCOMPARE(row->text(1), QStringLiteral("Covers"));
    QCOMPARE(row->text(3), QStringLiteral("http://127.0.0.1:%1/c.png").arg(m_site->deadPort()));
    // The page, then every cover on a live port: 250 texts and the huge one.
    QCOMPARE(m_site->RequestCount() - before, size_t{1 + 250 + 1});
    // The last cover could not be shown: the box is empty.
    QVERIFY(f.window->coverSurface()->pixmap().isNull());
    QVERIFY(f.NormalSearchWorks());
    QVERIFY(!f.results()->topLevelItem(0)->icon(0).isNull());
}

void TestHostileInput::foreignTableOfContentsAddressReadsNothing_data()
{
    QTest::addColumn<QString>("workPage");
    QTest::newRow("file:///etc/passwd") << QStringLiteral("/work/passwd/");
    QTest::newRow("javascript:x") << QStringLiteral("/work/script/");
}

void TestHostileInput::foreignTableOfContentsAddressReadsNothing()
{
    QFETCH(QString, workPage);
    Fixture f;
    QVERIFY(f.NormalSearchWorks());
    f.ChooseWork(0);
    QCOMPARE(f.chapters()->topLevelItemCount(), 2000);

    f.results()->topLevelItem(1)->setText(2, U(m_site->Url(workPage.toStdString())));
    f.ChooseWork(1);
    QVERIFY(f.messages.isEmpty());
    QVERIFY(f.window->tabs()->IsPageEnabled(1));
    QCOMPARE(f.window->workPage().workData()->text(), QStringLiteral("Hostile data"));
    QCOMPARE(f.chapters()->topLevelItemCount(), 0);

    // The window goes on working: the first work loads again.
    f.ChooseWork(0);
    QCOMPARE(f.chapters()->topLevelItemCount(), 2000);
    QVERIFY(f.messages.isEmpty());
    QVERIFY(f.NormalSearchWorks());
}

void TestHostileInput::hostileChapterTitlesStayInsideTheWorkFolder()
{
    Fixture f;
    QVERIFY(f.NormalSearchWorks());
    f.results()->topLevelItem(0)->setText(2, U(m_site->Url("/work/titles/")));
    f.ChooseWork(0);
    const std::vector<HostileTitle> titles = HostileTitles();
    QCOMPARE(f.chapters()->topLevelItemCount(), static_cast<int>(titles.size()));
    for (int row = 0; row < f.chapters()->topLevelItemCount(); ++row)
        QVERIFY(!f.chapters()->topLevelItem(row)->text(0).contains(QLatin1String(kPasswdMarker)));

    // The reader of the chapter that points at a local file shows no file.
    const int passwdRow = 7;
    QCOMPARE(f.chapters()->topLevelItem(passwdRow)->text(0), QStringLiteral("passwd"));
    f.chapters()->setCurrentItem(f.chapters()->topLevelItem(passwdRow));
    QString readerText;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto *reader = qobject_cast<ReaderWindow *>(QApplication::activeModalWidget())) {
            readerText = reader->textBox()->toPlainText();
            reader->close();
        }
    });
    closer.start(10);
    f.window->OnChapterDoubleClicked();
    closer.stop();
    QVERIFY(readerText.startsWith(U("《星辰之海》  passwd")));
    QVERIFY(!readerText.contains(QLatin1String(kPasswdMarker)));

    f.window->workPage().selectAll()->click();
    QTest::mouseClick(f.window->workPage().downloadButton(), Qt::LeftButton);
    const QString count = QString::number(titles.size());
    QCOMPARE(f.window->workPage().downloadStatus()->text(),
             U("你选中了") + count + U("  当前还剩下0  已经完成下载") + count);

    const fs::path workFolder = f.program.path() / "星海书屋UTF8" / "星辰之海";
    const std::vector<fs::path> files = FilesUnder(f.program.path());
    std::set<std::string> names;
    for (const fs::path &file : files) {
        QVERIFY2(file.parent_path() == workFolder, file.c_str());
        QVERIFY(ReadFileBytes(file).find(kPasswdMarker) == std::string::npos);
        names.insert(file.filename().string());
    }
    QVERIFY(!fs::exists(f.program.path().parent_path() / "x.txt"));
    QVERIFY(!fs::exists(f.program.path() / "x.txt"));
    // Every title has its file; the overlong ones are cut to fit a folder entry.
    for (const char *name : {"....x.txt", "con.txt", "...txt", ".txt", "passwd.txt", "script.txt", "etccron.dx.txt",
                             "a\x01\x07\x1b[31m\x7f\tb.txt"})
        QVERIFY2(names.count(name) == 1, name);
    int overlong = 0;
    for (const std::string &name : names) {
        QVERIFY(name.size() <= 255);
        if (name.size() > 200)
            ++overlong;
    }
    QCOMPARE(overlong, 2);
    QCOMPARE(ReadFileBytes(workFolder / "con.txt"), std::string("    Body.\r\n"));
    QCOMPARE(ReadFileBytes(workFolder / "passwd.txt"), std::string());
    QVERIFY(f.NormalSearchWorks());
}

QTEST_MAIN(TestHostileInput)
#include "tst_hostile_input.moc"
