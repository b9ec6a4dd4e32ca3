#include "SourceFieldsDialog.h"

#include "platform/gui/QtText.h"
#include "sources/QuoteToken.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

struct FieldControl {
    const char *box;
    const char *label;
    const char *caption;
};

constexpr FieldControl kFields[SourceFieldsDialog::kBoxCount] = {
    {"编辑框_添加名称", "标签1", "作品名称："},
    {"编辑框_搜索地址", "透明标签_搜索地址", "搜索地址："},
    {"编辑框_搜索列表", "透明标签_搜索列表", "搜索列表："},
    {"编辑框_作品情况", "透明标签_作品情况", "作品数据："},
    {"编辑框_作品图片", "透明标签_作品图片", "作品图片："},
    {"编辑框_作品目录", "透明标签_作品目录", "作品目录："},
    {"编辑框_章节链接", "透明标签_章节链接", "章节链接："},
    {"编辑框_作品内容", "透明标签_作品内容", "作品内容："},
};

constexpr int kBoxWidth = 400;
constexpr int kBoxHeight = 24;
constexpr int kLabelOffset = 69;
constexpr int kLabelWidth = 66;
// Expressions can be long; the default limit of 32767 characters would cut them.
constexpr int kMaxText = 1 << 20;

std::array<std::string ActiveSource::*, SourceFieldsDialog::kBoxCount> FieldMembers()
{
    return {&ActiveSource::name,        &ActiveSource::searchAddress,   &ActiveSource::searchList,
            &ActiveSource::workData,    &ActiveSource::workPicture,     &ActiveSource::tableOfContents,
            &ActiveSource::chapterLink, &ActiveSource::chapterContent};
}

} // namespace

SourceFieldsDialog::SourceFieldsDialog(int boxX, const std::array<int, kBoxCount> &boxY, QWidget *parent)
    : QDialog(parent)
{
    for (int i = 0; i < kBoxCount; ++i) {
        auto *label = new QLabel(QString::fromUtf8(kFields[i].caption), this);
        label->setObjectName(QString::fromUtf8(kFields[i].label));
        label->setGeometry(boxX - kLabelOffset, boxY[static_cast<size_t>(i)], kLabelWidth, kBoxHeight);
        auto *box = new QLineEdit(this);
        box->setObjectName(QString::fromUtf8(kFields[i].box));
        box->setGeometry(boxX, boxY[static_cast<size_t>(i)], kBoxWidth, kBoxHeight);
        box->setMaxLength(kMaxText);
        label->setBuddy(box);
        m_boxes[static_cast<size_t>(i)] = box;
    }
    m_boxes[0]->setFocus();
}

ActiveSource SourceFieldsDialog::Texts() const
{
    ActiveSource texts;
    const auto members = FieldMembers();
    for (size_t i = 0; i < members.size(); ++i)
        texts.*members[i] = ToGbk(m_boxes[i]->text());
    return texts;
}

void SourceFieldsDialog::SetTexts(const ActiveSource &texts)
{
    const auto members = FieldMembers();
    for (size_t i = 0; i < members.size(); ++i)
        m_boxes[i]->setText(FromGbk(texts.*members[i]));
}

void SourceFieldsDialog::EscapeExpressionBoxes()
{
    // The name is never escaped; the boxes keep what was stored, so a second
    // save after a failure finds nothing left to escape.
    for (size_t i = 1; i < m_boxes.size(); ++i)
        m_boxes[i]->setText(FromGbk(EscapeQuotes(ToGbk(m_boxes[i]->text()))));
}

QPushButton *SourceFieldsDialog::NewButton(const QString &objectName, const QString &text, int x, int y)
{
    auto *button = new QPushButton(text, this);
    button->setObjectName(objectName);
    button->setGeometry(x, y, 72, 24);
    // Enter in a box must not save by surprise; Escape still cancels.
    button->setAutoDefault(false);
    return button;
}
