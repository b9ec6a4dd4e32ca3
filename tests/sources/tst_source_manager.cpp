#include "app/ActiveSourceConfig.h"
#include "app/AppState.h"
#include "platform/gui/MessageBox.h"
#include "platform/gui/QtText.h"
#include "sources/SourceDate.h"
#include "sources/SourceStore.h"
#include "sources/SourceStoreSetup.h"
#include "sources/gui/AddSourceDialog.h"
#include "sources/gui/ModifySourceDialog.h"
#include "sources/gui/SourceManagerWindow.h"
#include "sources/gui/StoreSetupNotes.h"
#include "support/ImmutableFile.h"
#include "support/TempFolder.h"
#include "text/CodePage.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <sqlite3.h>

#include <deque>
#include <fstream>
#include <functional>
#include <memory>

namespace fs = std::filesystem;

namespace {

std::string G(const char *utf8)
{
    return Utf8ToGbk(utf8);
}

QString Q(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Answers the program's message boxes: records each one and gives the next
// queued answer (OK when none is queued).
struct Boxes {
    std::vector<MessageBox::Request> shown;
    std::deque<QMessageBox::StandardButton> answers;

    Boxes()
    {
        MessageBox::SetResponder([this](const MessageBox::Request &request) {
            shown.push_back(request);
            if (answers.empty())
                return QMessageBox::Ok;
            const QMessageBox::StandardButton answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~Boxes() { MessageBox::SetResponder({}); }

    QStringList Texts() const
    {
        QStringList texts;
        for (const MessageBox::Request &request : shown)
            texts << request.text + QLatin1Char('|') + request.title;
        return texts;
    }
};

// Runs `act` on the modal dialog of type D as soon as it is open. `act`
// must close it; should it not, the dialog is rejected after a few seconds
// so that a failing test ends instead of hanging.
template <typename D>
void WhenOpen(std::function<void(D &)> act)
{
    auto *poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto *dialog = qobject_cast<D *>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        poll->stop();
        poll->deleteLater();
        act(*dialog);
        if (dialog->isVisible())
            QTimer::singleShot(3000, dialog, [dialog] { dialog->reject(); });
    });
    poll->start();
}

QLineEdit *Box(QWidget &dialog, const char *name)
{
    return dialog.findChild<QLineEdit *>(Q(name));
}

void Click(QWidget &dialog, const char *button)
{
    QPushButton *found = dialog.findChild<QPushButton *>(Q(button));
    QVERIFY(found != nullptr);
    found->click();
}

// Another program holding the store locked.
class Locker {
public:
    explicit Locker(const fs::path &file)
    {
        sqlite3_open(file.c_str(), &m_db);
        sqlite3_exec(m_db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    }
    ~Locker() { Release(); }
    void Release()
    {
        if (m_db != nullptr) {
            sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
            sqlite3_close(m_db);
        }
        m_db = nullptr;
    }

private:
    sqlite3 *m_db = nullptr;
};

ActiveSource Row(const std::string &name, const std::string &searchList = "0")
{
    return {name, "s?q=", searchList, "0", "0", "0", "0", "0"};
}

} // namespace

class TestSourceManager : public QObject {
    Q_OBJECT

private:
    // A program folder with a store holding `rows`, and the window over it.
    struct Setup {
        TempFolder folder;
        fs::path file = folder.path() / SourceStore::kFileName;
        SourceStore store;
        AppState state;
        QLabel label;
        std::unique_ptr<SourceManagerWindow> window;
        Boxes boxes;

        explicit Setup(const std::vector<ActiveSource> &rows)
        {
            store.Create(file);
            store.SetBusyTimeout(50);
            for (const ActiveSource &row : rows)
                store.Insert(row, G("2026年1月2日"));
            label.setText(Q("旧源"));
            window = std::make_unique<SourceManagerWindow>(state, folder.path(), store, &label);
            window->show();
            window->activateWindow();
        }

        QTreeWidget &list() const { return *window->list(); }
        QString Cell(int row, int column) const { return list().topLevelItem(row)->text(column); }
        void Select(int row) const { list().setCurrentItem(list().topLevelItem(row)); }
        std::vector<std::string> StoredNames() const
        {
            std::vector<std::string> names;
            for (const SourceRecord &record : store.ListAll())
                names.push_back(record.source.name);
            return names;
        }
    };

private slots:
    void LayoutAndColumns()
    {
        Setup s({Row("a", G("href=Torva替换(.*?)Torva替换"))});
        SourceManagerWindow &w = *s.window;
        QCOMPARE(w.windowTitle(), Q("小说源添加"));
        QCOMPARE(w.size(), QSize(939, 250));
        QCOMPARE(s.list().objectName(), Q("超级列表框_自定义新闻源"));
        QCOMPARE(s.list().geometry(), QRect(8, 8, 920, 168));
        const struct {
            const char *name;
            const char *text;
            QRect geometry;
        } buttons[] = {{"按钮_添加", "添加", {10, 184, 56, 24}},
                       {"按钮_修改", "修改", {95, 184, 56, 24}},
                       {"按钮_删除", "删除", {176, 184, 56, 24}}};
        for (const auto &b : buttons) {
            QPushButton *button = w.findChild<QPushButton *>(Q(b.name));
            QVERIFY(button != nullptr);
            QCOMPARE(button->text(), Q(b.text));
            QCOMPARE(button->geometry(), b.geometry);
        }
        QCOMPARE(w.findChild<QLabel *>(Q("透明标签1"))->text(), Q("※注:双击选中"));

        const QStringList titles = {Q("I  D"),     Q("名    称"), Q("搜索地址"), Q("搜索列表"), Q("作品数据"),
                                    Q("作品图片"), Q("作品目录"), Q("章节链接"), Q("作品内容"), Q("日    期")};
        QCOMPARE(s.list().columnCount(), 10);
        for (int c = 0; c < 10; ++c) {
            QCOMPARE(s.list().headerItem()->text(c), titles[c]);
            QCOMPARE(s.list().header()->sectionSize(c) == 0 || s.list().isColumnHidden(c), c == 0);
            if (c > 0)
                QCOMPARE(s.list().columnWidth(c), c == 1 ? 85 : 100);
        }
        // Cells hold the stored texts: the quote token, "0", the ID.
        QCOMPARE(s.Cell(0, 0), Q("1"));
        QCOMPARE(s.Cell(0, 3), Q("href=Torva替换(.*?)Torva替换"));
        QCOMPARE(s.Cell(0, 4), Q("0"));
        QCOMPARE(s.Cell(0, 9), Q("2026年1月2日"));

        QStringList items;
        for (QAction *action : w.popupMenu()->actions())
            items << (action->isSeparator() ? Q("-") : action->text());
        QCOMPARE(items, (QStringList{Q("-"), Q("修改信息源"), Q("删除")}));
        QCOMPARE(w.popupMenu()->title(), Q("右键菜单"));
    }

    void DeleteMovesTheCurrentRow_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("currentName");
        QTest::newRow("last") << 3 << 2 << 1 << Q("r1");
        QTest::newRow("middle") << 3 << 1 << 1 << Q("r2");
        QTest::newRow("first") << 3 << 0 << 0 << Q("r1");
        QTest::newRow("only") << 1 << 0 << -1 << QString();
    }

    void DeleteMovesTheCurrentRow()
    {
        QFETCH(int, rows);
        QFETCH(int, selected);
        QFETCH(int, current);
        QFETCH(QString, currentName);
        std::vector<ActiveSource> seed;
        for (int i = 0; i < rows; ++i)
            seed.push_back(Row("r" + std::to_string(i)));
        Setup s(seed);
        s.Select(selected);
        s.window->Delete();

        QCOMPARE(s.boxes.Texts(), (QStringList{Q("您真的要删除选中的数据吗？|删除提示"), Q("删除成功|信息：")}));
        QCOMPARE(s.boxes.shown[0].icon, MessageBox::Icon::Exclamation);
        QCOMPARE(s.boxes.shown[0].buttons, MessageBox::Buttons::OkCancel);
        QCOMPARE(s.boxes.shown[1].icon, MessageBox::Icon::Information);
        QCOMPARE(s.list().topLevelItemCount(), rows - 1);
        QCOMPARE(s.window->CurrentRow(), current);
        if (current >= 0)
            QCOMPARE(s.Cell(current, 1), currentName);
        QCOMPARE(static_cast<int>(s.StoredNames().size()), rows - 1);
        QCOMPARE(s.window->focusWidget(), &s.list());
    }

    void CancelledDeleteChangesNothingButTheFocus()
    {
        Setup s({Row("a"), Row("b")});
        s.Select(1);
        s.window->findChild<QPushButton *>(Q("按钮_添加"))->setFocus();
        s.boxes.answers.push_back(QMessageBox::Cancel);
        s.window->Delete();
        QCOMPARE(s.boxes.shown.size(), size_t{1});
        QCOMPARE(s.list().topLevelItemCount(), 2);
        QCOMPARE(s.window->CurrentRow(), 1);
        QCOMPARE(s.StoredNames().size(), size_t{2});
        QCOMPARE(s.window->focusWidget(), &s.list());
    }

    void WithoutACurrentRowOnlyHintsAreShown()
    {
        Setup s({Row("a")});
        QPushButton *add = s.window->findChild<QPushButton *>(Q("按钮_添加"));
        add->setFocus();
        const QString deleteHint = Q("您还没有选择要删除的数据呢！|友情提示");
        const QString modifyHint = Q("您还没有选择要修改的数据呢！|友情提示");
        // Both ways to each command: its button and its popup menu item.
        const struct {
            std::function<void()> trigger;
            QString hint;
        } entries[] = {
            {[&] { Click(*s.window, "按钮_删除"); }, deleteHint},
            {[&] { s.window->popupMenu()->actions().at(2)->trigger(); }, deleteHint},
            {[&] { Click(*s.window, "按钮_修改"); }, modifyHint},
            {[&] { s.window->popupMenu()->actions().at(1)->trigger(); }, modifyHint},
        };
        for (const auto &entry : entries) {
            s.boxes.shown.clear();
            entry.trigger();
            QCOMPARE(s.boxes.Texts(), QStringList{entry.hint});
            QCOMPARE(s.boxes.shown[0].icon, MessageBox::Icon::Information);
            QCOMPARE(s.window->focusWidget(), add);
        }
        QCOMPARE(s.list().topLevelItemCount(), 1);
        QVERIFY(s.state.activeSource.name.empty());
    }

    void FailedDeleteOfALockedStoreKeepsTheRow()
    {
        Setup s({Row("a"), Row("b")});
        s.Select(1);
        Locker locker(s.file);
        s.window->Delete();
        QCOMPARE(s.boxes.Texts().last(), Q("删除失败|信息："));
        QCOMPARE(s.list().topLevelItemCount(), 2);
        QCOMPARE(s.window->CurrentRow(), 1);
        locker.Release();
        QCOMPARE(s.StoredNames().size(), size_t{2});
    }

    void AnUnwritableStoreFailsEveryChange_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::newRow("locked") << Q("locked");
        QTest::newRow("read-only") << Q("read-only");
        QTest::newRow("missing") << Q("missing");
    }

    void AnUnwritableStoreFailsEveryChange()
    {
        QFETCH(QString, condition);
        Setup s({Row("a")});
        const fs::path movedAway = s.file.string() + ".moved";
        std::unique_ptr<Locker> locker;
        std::unique_ptr<ImmutableFile> readOnly;
        if (condition == Q("locked")) {
            locker = std::make_unique<Locker>(s.file);
        } else if (condition == Q("read-only")) {
            s.store.Close();
            readOnly = std::make_unique<ImmutableFile>(s.file);
            if (!readOnly->ok())
                QSKIP("cannot make a file immutable here");
            QVERIFY(s.store.Open(s.file));
        } else {
            fs::rename(s.file, movedAway);
        }

        s.Select(0);
        WhenOpen<AddSourceDialog>([&](AddSourceDialog &d) {
            Box(d, "编辑框_添加名称")->setText(Q("b"));
            Click(d, "按钮_添加确认");
            Click(d, "按钮_取消添加");
        });
        s.window->Add();
        WhenOpen<ModifySourceDialog>([&](ModifySourceDialog &d) {
            Box(d, "编辑框_添加名称")->setText(Q("b"));
            Click(d, "按钮_确认修改");
            Click(d, "按钮_取消添加");
        });
        s.window->Modify();
        s.window->Delete();

        QCOMPARE(s.boxes.Texts(), (QStringList{Q("添加失败|失败"), Q("修改失败|失败"),
                                               Q("您真的要删除选中的数据吗？|删除提示"), Q("删除失败|信息：")}));
        for (int i : {0, 1, 3})
            QCOMPARE(s.boxes.shown[static_cast<size_t>(i)].icon, MessageBox::Icon::Information);
        QCOMPARE(s.list().topLevelItemCount(), 1);
        QCOMPARE(s.Cell(0, 1), Q("a"));
        QCOMPARE(s.window->CurrentRow(), 0);

        locker.reset();
        readOnly.reset();
        if (fs::exists(movedAway))
            fs::rename(movedAway, s.file);
        QCOMPARE(s.StoredNames(), std::vector<std::string>{"a"});
    }

    void CancelledModifyStillReplacesTheSourceInMemory()
    {
        Setup s({Row("a"), Row(G("站'乙"), G("x=Torva替换"))});
        s.Select(1);
        QStringList shownInBoxes;
        WhenOpen<ModifySourceDialog>([&](ModifySourceDialog &d) {
            shownInBoxes << d.windowTitle() << Box(d, "编辑框_添加名称")->text() << Box(d, "编辑框_搜索列表")->text()
                         << Box(d, "编辑框_作品情况")->text();
            Click(d, "按钮_取消添加");
        });
        s.window->Modify();
        QCOMPARE(shownInBoxes, (QStringList{QString(), Q("站'乙"), Q("x=Torva替换"), Q("0")}));
        QCOMPARE(s.state.activeSource, Row(G("站'乙"), G("x=Torva替换")));
        QCOMPARE(s.state.editedSourceId, std::string("2"));
        QCOMPARE(s.state.editedSourceDate, G("2026年1月2日"));
        QCOMPARE(s.Cell(1, 3), Q("x=Torva替换"));
        QCOMPARE(s.label.text(), Q("旧源"));
        QVERIFY(!fs::exists(ConfigFilePath(s.folder.path())));
        QVERIFY(s.boxes.shown.empty());
        QCOMPARE(s.window->CurrentRow(), 1);
        QCOMPARE(s.window->focusWidget(), &s.list());
    }

    void ModifySavesEscapedTextsAndShowsThemInTheRow()
    {
        Setup s({Row("a", G("x=Torva替换"))});
        s.Select(0);
        WhenOpen<ModifySourceDialog>([&](ModifySourceDialog &d) {
            Box(d, "编辑框_作品情况")->setText(Q("it's"));
            Box(d, "编辑框_搜索地址")->clear();
            Click(d, "按钮_确认修改");
        });
        s.window->Modify();
        QCOMPARE(s.boxes.Texts(), QStringList{Q("修改成功|成功")});
        QCOMPARE(s.boxes.shown[0].icon, MessageBox::Icon::Information);
        QCOMPARE(s.Cell(0, 3), Q("x=Torva替换"));
        QCOMPARE(s.Cell(0, 4), Q("itTorva替换s"));
        QCOMPARE(s.Cell(0, 2), QString()); // "0" appears only after a reload
        QCOMPARE(s.Cell(0, 9), FromGbk(TodaySourceDate()));
        const SourceRecord stored = s.store.ListAll()[0];
        QCOMPARE(stored.source.searchAddress, std::string("0"));
        QCOMPARE(stored.source.searchList, G("x=Torva替换"));
        QCOMPARE(stored.source.workData, G("itTorva替换s"));
        QCOMPARE(stored.date, TodaySourceDate());
    }

    void FailedModifyThenRetryDoesNotEscapeTwice()
    {
        Setup s({Row("a")});
        s.Select(0);
        auto locker = std::make_unique<Locker>(s.file);
        QString afterFailure;
        std::string idDuringFailure;
        WhenOpen<ModifySourceDialog>([&](ModifySourceDialog &d) {
            Box(d, "编辑框_搜索列表")->setText(Q("a'b"));
            Click(d, "按钮_确认修改");
            afterFailure = Box(d, "编辑框_搜索列表")->text();
            idDuringFailure = s.state.activeSource.searchList;
            locker.reset();
            Click(d, "按钮_确认修改");
        });
        s.window->Modify();
        QCOMPARE(s.boxes.Texts(), (QStringList{Q("修改失败|失败"), Q("修改成功|成功")}));
        QCOMPARE(afterFailure, Q("aTorva替换b"));
        QCOMPARE(idDuringFailure, std::string("0"));
        QCOMPARE(s.store.ListAll()[0].source.searchList, G("aTorva替换b"));
        QCOMPARE(s.Cell(0, 3), Q("aTorva替换b"));
    }

    void CancelAfterAFailedModifyLeavesTheRow()
    {
        Setup s({Row("a")});
        s.Select(0);
        Locker locker(s.file);
        WhenOpen<ModifySourceDialog>([&](ModifySourceDialog &d) {
            Box(d, "编辑框_添加名称")->setText(Q("b"));
            Click(d, "按钮_确认修改");
            Click(d, "按钮_取消添加");
        });
        s.window->Modify();
        locker.Release();
        QCOMPARE(s.Cell(0, 1), Q("a"));
        QCOMPARE(s.StoredNames(), std::vector<std::string>{"a"});
    }

    void AddToAnEmptyListMakesTheNewRowCurrent()
    {
        Setup s({});
        bool focusOnName = false;
        QString title;
        WhenOpen<AddSourceDialog>([&](AddSourceDialog &d) {
            title = d.windowTitle();
            QTRY_VERIFY(Box(d, "编辑框_添加名称")->hasFocus());
            focusOnName = true;
            Box(d, "编辑框_添加名称")->setText(Q("O'Neil站"));
            Box(d, "编辑框_搜索列表")->setText(Q("href='(.*?)'"));
            Box(d, "编辑框_作品目录")->setText(Q("  "));
            Click(d, "按钮_添加确认");
        });
        s.window->Add();
        QVERIFY(focusOnName);
        QCOMPARE(title, Q("添加信息源"));
        QCOMPARE(s.boxes.Texts(), QStringList{Q("添加成功|成功")});
        QCOMPARE(s.boxes.shown[0].icon, MessageBox::Icon::Information);
        QCOMPARE(s.window->addDialogResult(), G("添加"));
        QCOMPARE(s.list().topLevelItemCount(), 1);
        QCOMPARE(s.window->CurrentRow(), 0);
        QCOMPARE(s.Cell(0, 1), Q("O'Neil站"));
        QCOMPARE(s.Cell(0, 3), Q("href=Torva替换(.*?)Torva替换"));
        QCOMPARE(s.Cell(0, 2), Q("0"));
        QCOMPARE(s.Cell(0, 6), Q("  "));
        QCOMPARE(s.Cell(0, 9), FromGbk(TodaySourceDate()));
        QCOMPARE(s.window->focusWidget(), &s.list());
    }

    void AddWithEveryBoxEmptyStoresZeros()
    {
        Setup s({Row("a")});
        WhenOpen<AddSourceDialog>([&](AddSourceDialog &d) { Click(d, "按钮_添加确认"); });
        s.window->Add();
        QCOMPARE(s.list().topLevelItemCount(), 2);
        QCOMPARE(s.window->CurrentRow(), 1);
        const SourceRecord stored = s.store.ListAll()[1];
        QCOMPARE(stored.source, (ActiveSource{"0", "0", "0", "0", "0", "0", "0", "0"}));
        for (int c = 1; c <= 8; ++c)
            QCOMPARE(s.Cell(1, c), Q("0"));
    }

    void AddToAReadOnlyStoreFailsAndKeepsTheDialogOpen()
    {
        Setup s({Row("a")});
        s.store.Close();
        ImmutableFile readOnly(s.file);
        if (!readOnly.ok())
            QSKIP("cannot make a file immutable here");
        QVERIFY(s.store.Open(s.file));
        bool stayedOpen = false;
        QString escaped;
        WhenOpen<AddSourceDialog>([&](AddSourceDialog &d) {
            Box(d, "编辑框_添加名称")->setText(Q("b"));
            Box(d, "编辑框_作品内容")->setText(Q("'"));
            Click(d, "按钮_添加确认");
            stayedOpen = d.isVisible();
            escaped = Box(d, "编辑框_作品内容")->text();
            Click(d, "按钮_取消添加");
        });
        s.window->Add();
        QVERIFY(stayedOpen);
        QCOMPARE(escaped, Q("Torva替换"));
        QCOMPARE(s.boxes.Texts(), QStringList{Q("添加失败|失败")});
        QVERIFY(s.window->addDialogResult().empty());
        QCOMPARE(s.list().topLevelItemCount(), 1);
        QCOMPARE(s.StoredNames(), std::vector<std::string>{"a"});
    }

    void ChooseWritesApostrophesAndCloses()
    {
        Setup s({Row("a"), Row(G("站'torva替换乙"), G("TORVA替换x=torva替换y"))});
        QTreeWidgetItem *item = s.list().topLevelItem(1);
        const QPoint centre = s.list().visualItemRect(item).center();
        QTest::mouseClick(s.list().viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(s.list().viewport(), Qt::LeftButton, {}, centre);

        QCOMPARE(s.window->result(), int(QDialog::Accepted));
        // The name keeps the token; the expressions get apostrophes.
        QCOMPARE(s.label.text(), Q("站'torva替换乙"));
        QCOMPARE(s.state.activeSource.name, G("站'torva替换乙"));
        QCOMPARE(s.state.activeSource.searchList, std::string("'x='y"));
        const ActiveSource saved = LoadActiveSource(s.folder.path());
        QCOMPARE(saved, s.state.activeSource);
        QCOMPARE(saved.workData, std::string("0"));
        QCOMPARE(s.Cell(1, 3), Q("TORVA替换x=torva替换y"));
    }

    void FirstRunMakesTheExampleActiveAndReportsAnUnreadableAccessFile()
    {
        TempFolder folder;
        std::ofstream(folder.path() / "voldTorva.mdb") << "not access";
        Boxes boxes;
        AppState state;
        QLabel label;
        int listed = -1;
        WhenOpen<SourceManagerWindow>([&](SourceManagerWindow &w) {
            listed = w.list()->topLevelItemCount();
            w.reject();
        });
        SourceManagerWindow::Run(state, folder.path(), &label);
        QCOMPARE(listed, 1);
        QCOMPARE(label.text(), Q("演示书站"));
        QCOMPARE(state.activeSource.name, G("演示书站"));
        QCOMPARE(LoadActiveSource(folder.path()), state.activeSource);
        QCOMPARE(boxes.Texts(),
                 QStringList{Q("voldTorva.mdb 不是可读取的 Access 数据库，未从中导入信息源；该文件保持原样。|信息：")});
        QCOMPARE(boxes.shown[0].icon, MessageBox::Icon::Information);
    }

    void SetupNotesAreShownInChinese()
    {
        OpenedStore opened;
        opened.imported = 3;
        const struct {
            SetupNoteKind kind;
            QString shown; // empty: the window stays silent
        } cases[] = {
            {SetupNoteKind::Imported, Q("已从 voldTorva.mdb 导入 3 个信息源。")},
            {SetupNoteKind::MdbUnreadable, Q("voldTorva.mdb 不是可读取的 Access 数据库，未从中导入信息源；该文件保持原样。")},
            {SetupNoteKind::StoreNotMade, QString()},
            {SetupNoteKind::StoreUnusable, QString()},
        };
        for (const auto &c : cases) {
            opened.notes = {{c.kind, "an English line"}};
            QCOMPARE(StoreSetupNoteTexts(opened), c.shown.isEmpty() ? QStringList() : QStringList{c.shown});
        }
    }

    void DialogLayouts()
    {
        SourceStore store;
        std::string addResult;
        AppState state;
        state.activeSource = Row("n");
        AddSourceDialog add(store, addResult);
        ModifySourceDialog modify(state, store);
        const char *boxes[] = {"编辑框_添加名称", "编辑框_搜索地址", "编辑框_搜索列表", "编辑框_作品情况",
                               "编辑框_作品图片", "编辑框_作品目录", "编辑框_章节链接", "编辑框_作品内容"};
        const char *labels[] = {"标签1", "透明标签_搜索地址", "透明标签_搜索列表", "透明标签_作品情况",
                                "透明标签_作品图片", "透明标签_作品目录", "透明标签_章节链接", "透明标签_作品内容"};
        const char *captions[] = {"作品名称：", "搜索地址：", "搜索列表：", "作品数据：",
                                  "作品图片：", "作品目录：", "章节链接：", "作品内容："};
        const int addY[] = {19, 55, 91, 127, 162, 200, 236, 277};
        const int modifyY[] = {8, 44, 80, 116, 151, 189, 225, 266};
        const struct {
            QDialog *dialog;
            int boxX;
            const int *ys;
        } dialogs[] = {{&add, 98, addY}, {&modify, 77, modifyY}};
        for (const auto &d : dialogs) {
            for (int i = 0; i < 8; ++i) {
                QLineEdit *box = Box(*d.dialog, boxes[i]);
                QLabel *label = d.dialog->findChild<QLabel *>(Q(labels[i]));
                QVERIFY(box != nullptr && label != nullptr);
                QCOMPARE(box->geometry(), QRect(d.boxX, d.ys[i], 400, 24));
                QCOMPARE(label->text(), Q(captions[i]));
                QCOMPARE(label->x(), d.boxX - 69);
                QVERIFY(std::abs(label->y() - box->y()) <= 2);
            }
        }
        QCOMPARE(add.windowTitle(), Q("添加信息源"));
        QCOMPARE(add.size(), QSize(528, 389));
        QCOMPARE(modify.windowTitle(), QString());
        QCOMPARE(modify.size(), QSize(511, 371));
        const struct {
            QDialog *dialog;
            const char *name;
            const char *text;
            QRect geometry;
        } buttons[] = {{&add, "按钮_添加确认", "确定", {130, 322, 72, 24}},
                       {&add, "按钮_取消添加", "取消", {306, 322, 72, 24}},
                       {&modify, "按钮_确认修改", "修改", {128, 304, 72, 24}},
                       {&modify, "按钮_取消添加", "取消", {296, 304, 72, 24}}};
        for (const auto &b : buttons) {
            QPushButton *button = b.dialog->findChild<QPushButton *>(Q(b.name));
            QVERIFY(button != nullptr);
            QCOMPARE(button->text(), Q(b.text));
            QCOMPARE(button->geometry(), b.geometry);
        }
    }

    void PopupMenuOpensBesideTheMouse()
    {
        Setup s({Row("a")});
        const QPoint at(20, 10);
        emit s.list().customContextMenuRequested(at);
        QTRY_VERIFY(s.window->popupMenu()->isVisible());
        QCOMPARE(s.window->popupMenu()->pos(), s.list().viewport()->mapToGlobal(at) + QPoint(3, 3));
        s.window->popupMenu()->close();
    }
};

QTEST_MAIN(TestSourceManager)
#include "tst_source_manager.moc"
