#include "AddSourceDialog.h"

#include "platform/gui/MessageBox.h"
#include "sources/SourceDate.h"
#include "sources/SourceStore.h"
#include "text/CodePage.h"

#include <QPushButton>

AddSourceDialog::AddSourceDialog(SourceStore &store, std::string &addResult, QWidget *parent)
    : SourceFieldsDialog(98, {19, 55, 91, 127, 162, 200, 236, 277}, parent), m_store(store), m_addResult(addResult)
{
    setWindowTitle(QStringLiteral("添加信息源"));
    setFixedSize(528, 389);
    QPushButton *confirm = NewButton(QStringLiteral("按钮_添加确认"), QStringLiteral("确定"), 130, 322);
    QPushButton *cancel = NewButton(QStringLiteral("按钮_取消添加"), QStringLiteral("取消"), 306, 322);
    connect(confirm, &QPushButton::clicked, this, &AddSourceDialog::SaveNew);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

const std::string &AddSourceDialog::AddedResult()
{
    static const std::string added = Utf8ToGbk("添加");
    return added;
}

void AddSourceDialog::SaveNew()
{
    EscapeExpressionBoxes();
    if (!m_store.Insert(Texts(), TodaySourceDate())) {
        MessageBox::Show(this, QStringLiteral("添加失败"), QStringLiteral("失败"), MessageBox::Icon::Information);
        return;
    }
    MessageBox::Show(this, QStringLiteral("添加成功"), QStringLiteral("成功"), MessageBox::Icon::Information);
    m_addResult = AddedResult();
    accept();
}
