#include "ModifySourceDialog.h"

#include "app/AppState.h"
#include "platform/gui/MessageBox.h"
#include "sources/SourceDate.h"
#include "sources/SourceStore.h"

#include <QLineEdit>
#include <QPushButton>

ModifySourceDialog::ModifySourceDialog(AppState &state, SourceStore &store, QWidget *parent)
    : SourceFieldsDialog(77, {8, 44, 80, 116, 151, 189, 225, 266}, parent), m_state(state), m_store(store)
{
    setWindowTitle(QString());
    setFixedSize(511, 371);
    QPushButton *confirm = NewButton(QStringLiteral("按钮_确认修改"), QStringLiteral("修改"), 128, 304);
    QPushButton *cancel = NewButton(QStringLiteral("按钮_取消添加"), QStringLiteral("取消"), 296, 304);
    connect(confirm, &QPushButton::clicked, this, &ModifySourceDialog::SaveChanges);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    SetTexts(m_state.activeSource);
    nameBox()->setFocus();
}

void ModifySourceDialog::SaveChanges()
{
    EscapeExpressionBoxes();
    const std::string date = TodaySourceDate();
    if (!m_store.Update(m_state.editedSourceId, Texts(), date)) {
        MessageBox::Show(this, QStringLiteral("修改失败"), QStringLiteral("失败"), MessageBox::Icon::Information);
        return;
    }
    MessageBox::Show(this, QStringLiteral("修改成功"), QStringLiteral("成功"), MessageBox::Icon::Information);
    m_state.activeSource = Texts();
    m_state.editedSourceDate = date;
    accept();
}
