#include "SourceManagerWindow.h"

#include "app/ActiveSourceConfig.h"
#include "app/AppState.h"
#include "platform/gui/ListViews.h"
#include "platform/gui/MessageBox.h"
#include "platform/gui/QtText.h"
#include "sources/QuoteToken.h"
#include "sources/SourceStoreSetup.h"
#include "sources/gui/AddSourceDialog.h"
#include "sources/gui/ModifySourceDialog.h"
#include "sources/gui/StoreSetupNotes.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStringList>
#include <QTreeWidget>

namespace {

constexpr int kIdColumn = 0;
constexpr int kNameColumn = 1;
constexpr int kDateColumn = 9;

QStringList RowCells(const SourceRecord &row)
{
    const ActiveSource &s = row.source;
    QStringList cells;
    for (const std::string *text : {&row.id, &s.name, &s.searchAddress, &s.searchList, &s.workData, &s.workPicture,
                                    &s.tableOfContents, &s.chapterLink, &s.chapterContent, &row.date})
        cells << FromGbk(*text);
    return cells;
}

// Columns 1 to 8 of a list row: the name and the seven texts.
ActiveSource SourceOfRow(const QTreeWidgetItem &item)
{
    ActiveSource source;
    std::string *fields[] = {&source.name,        &source.searchAddress,   &source.searchList,
                             &source.workData,    &source.workPicture,     &source.tableOfContents,
                             &source.chapterLink, &source.chapterContent};
    int column = kNameColumn;
    for (std::string *field : fields)
        *field = ToGbk(item.text(column++));
    return source;
}

void SetSourceCells(QTreeWidgetItem &item, const ActiveSource &source, const std::string &date)
{
    const std::string *fields[] = {&source.name,        &source.searchAddress,   &source.searchList,
                                   &source.workData,    &source.workPicture,     &source.tableOfContents,
                                   &source.chapterLink, &source.chapterContent,  &date};
    int column = kNameColumn;
    for (const std::string *field : fields)
        item.setText(column++, FromGbk(*field));
}

} // namespace

SourceManagerWindow::SourceManagerWindow(AppState &state, std::filesystem::path programFolder, SourceStore &store,
                                         QLabel *sourceLabel, QWidget *parent)
    : QDialog(parent), m_state(state), m_programFolder(std::move(programFolder)), m_store(store),
      m_sourceLabel(sourceLabel)
{
    setWindowTitle(QStringLiteral("小说源添加"));
    setFixedSize(939, 250);
    BuildControls();
    Load();
}

void SourceManagerWindow::Run(AppState &state, const std::filesystem::path &programFolder, QLabel *sourceLabel,
                              QWidget *parent)
{
    const OpenedStore opened = OpenSourceStore(programFolder);
    if (opened.activatedExample) {
        // The first start in this folder: the example is the active source.
        state.activeSource = UnescapeExpressions(ExampleSource().source);
        if (sourceLabel != nullptr)
            sourceLabel->setText(FromGbk(state.activeSource.name));
    }
    SourceManagerWindow window(state, programFolder, *opened.store, sourceLabel, parent);
    ShowStoreSetupNotes(&window, opened);
    window.exec();
}

void SourceManagerWindow::BuildControls()
{
    m_list = NewListView(QStringLiteral("超级列表框_自定义新闻源"));
    m_list->setParent(this);
    m_list->setGeometry(8, 8, 920, 168);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);

    const struct {
        const char *name;
        const char *text;
        int x;
        void (SourceManagerWindow::*action)();
    } buttons[] = {{"按钮_添加", "添加", 10, &SourceManagerWindow::Add},
                   {"按钮_修改", "修改", 95, &SourceManagerWindow::Modify},
                   {"按钮_删除", "删除", 176, &SourceManagerWindow::Delete}};
    for (const auto &b : buttons) {
        auto *button = new QPushButton(QString::fromUtf8(b.text), this);
        button->setObjectName(QString::fromUtf8(b.name));
        button->setGeometry(b.x, 184, 56, 24);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, b.action);
    }
    auto *hint = new QLabel(QStringLiteral("※注:双击选中"), this);
    hint->setObjectName(QStringLiteral("透明标签1"));
    hint->setGeometry(831, 178, 88, 24);

    m_menu = new QMenu(QStringLiteral("右键菜单"), this);
    m_menu->setObjectName(QStringLiteral("右键菜单"));
    m_menu->addSeparator();
    connect(m_menu->addAction(QStringLiteral("修改信息源")), &QAction::triggered, this, &SourceManagerWindow::Modify);
    connect(m_menu->addAction(QStringLiteral("删除")), &QAction::triggered, this, &SourceManagerWindow::Delete);

    connect(m_list, &QWidget::customContextMenuRequested, this, &SourceManagerWindow::ShowPopupMenu);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &SourceManagerWindow::Choose);
}

void SourceManagerWindow::ShowPopupMenu(const QPoint &position)
{
    m_menu->popup(m_list->viewport()->mapToGlobal(position) + QPoint(3, 3));
}

void SourceManagerWindow::Load()
{
    m_list->clear();
    m_list->setColumnCount(0);
    AddListColumns(m_list, {{QStringLiteral("I  D"), 0},
                            {QStringLiteral("名    称"), 85},
                            {QStringLiteral("搜索地址"), 100},
                            {QStringLiteral("搜索列表"), 100},
                            {QStringLiteral("作品数据"), 100},
                            {QStringLiteral("作品图片"), 100},
                            {QStringLiteral("作品目录"), 100},
                            {QStringLiteral("章节链接"), 100},
                            {QStringLiteral("作品内容"), 100},
                            {QStringLiteral("日    期"), 100}});
    for (const SourceRecord &row : m_store.ListAll())
        AppendRow(row);
}

void SourceManagerWindow::AppendRow(const SourceRecord &row)
{
    m_list->addTopLevelItem(new QTreeWidgetItem(RowCells(row)));
}

int SourceManagerWindow::CurrentRow() const
{
    QTreeWidgetItem *item = m_list->currentItem();
    if (item == nullptr || !item->isSelected())
        return -1;
    return m_list->indexOfTopLevelItem(item);
}

void SourceManagerWindow::SetCurrentRow(int row)
{
    if (row >= 0 && row < m_list->topLevelItemCount()) {
        m_list->setCurrentItem(m_list->topLevelItem(row));
        return;
    }
    m_list->clearSelection();
    m_list->setCurrentItem(nullptr);
}

void SourceManagerWindow::Add()
{
    m_addDialogResult.clear();
    {
        AddSourceDialog dialog(m_store, m_addDialogResult, this);
        dialog.exec();
    }
    if (m_addDialogResult == AddSourceDialog::AddedResult()) {
        if (const std::optional<SourceRecord> last = m_store.ReadLast()) {
            AppendRow(*last);
            SetCurrentRow(m_list->topLevelItemCount() - 1);
        }
    }
    m_list->setFocus();
}

void SourceManagerWindow::Delete()
{
    const int row = CurrentRow();
    if (row < 0) {
        MessageBox::Show(this, QStringLiteral("您还没有选择要删除的数据呢！"), QStringLiteral("友情提示"),
                         MessageBox::Icon::Information);
        return;
    }
    if (MessageBox::Show(this, QStringLiteral("您真的要删除选中的数据吗？"), QStringLiteral("删除提示"),
                         MessageBox::Icon::Exclamation, MessageBox::Buttons::OkCancel) == QMessageBox::Ok) {
        const std::string id = ToGbk(m_list->topLevelItem(row)->text(kIdColumn));
        if (m_store.Delete(id)) {
            MessageBox::Show(this, QStringLiteral("删除成功"), QString(), MessageBox::Icon::Information);
            delete m_list->takeTopLevelItem(row);
        } else {
            MessageBox::Show(this, QStringLiteral("删除失败"), QString(), MessageBox::Icon::Information);
        }
        SetCurrentRow(row == m_list->topLevelItemCount() ? row - 1 : row);
    }
    m_list->setFocus();
}

void SourceManagerWindow::Modify()
{
    const int row = CurrentRow();
    if (row < 0) {
        MessageBox::Show(this, QStringLiteral("您还没有选择要修改的数据呢！"), QStringLiteral("友情提示"),
                         MessageBox::Icon::Information);
        return;
    }
    QTreeWidgetItem *item = m_list->topLevelItem(row);
    // The row becomes the source in memory, as the list shows it, whether
    // the dialog then saves or not.
    m_state.editedSourceId = ToGbk(item->text(kIdColumn));
    m_state.activeSource = SourceOfRow(*item);
    m_state.editedSourceDate = ToGbk(item->text(kDateColumn));
    {
        ModifySourceDialog dialog(m_state, m_store, this);
        dialog.exec();
    }
    SetSourceCells(*item, m_state.activeSource, m_state.editedSourceDate);
    m_list->setFocus();
}

void SourceManagerWindow::Choose()
{
    const int row = CurrentRow();
    if (row < 0)
        return;
    const ActiveSource stored = SourceOfRow(*m_list->topLevelItem(row));
    if (m_sourceLabel != nullptr)
        m_sourceLabel->setText(FromGbk(stored.name));
    m_state.activeSource = UnescapeExpressions(stored);
    // The file gets apostrophes too (SaveActiveSource turns the tokens back
    // itself). A file that cannot be written changes nothing here: memory
    // and the label already name the source, the next start loads the old one.
    SaveActiveSource(m_programFolder, stored);
    accept();
}
