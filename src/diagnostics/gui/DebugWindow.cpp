#include "DebugWindow.h"

#include "platform/gui/QtText.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

// A page is shown whole up to this many characters. Laying out a multi-megabyte
// page (often one line without breaks) takes the text box minutes and freezes
// the window; the start of a page is what tells whether a source's choices fit.
constexpr qsizetype kMaxShownCharacters = 64 * 1024;

QLabel *NewLabel(QWidget *parent, const QString &objectName, const QString &text, const QRect &rect)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setGeometry(rect);
    return label;
}

} // namespace

DebugWindow::DebugWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_address(new QLineEdit(QStringLiteral("*"), this))
    , m_pageText(new QPlainTextEdit(QStringLiteral("*"), this))
{
    setObjectName(QStringLiteral("窗口_调试"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Quillora"));
    setFixedSize(613, 497);

    NewLabel(this, QStringLiteral("透明标签1"),
             QStringLiteral("搜索地址：检测小说官网搜索时，浏览器地址转换的网址是否一致，调整URL假加密即可；"),
             QRect(14, 4, 520, 16));
    m_address->setObjectName(QStringLiteral("编辑框_调试搜索地址"));
    m_address->setGeometry(16, 26, 574, 24);
    NewLabel(this, QStringLiteral("透明标签2"), QStringLiteral("取码及编码检测："), QRect(16, 56, 120, 15));
    m_pageText->setObjectName(QStringLiteral("编辑框_调试取码"));
    m_pageText->setGeometry(16, 76, 573, 360);
    NewLabel(this, QStringLiteral("透明标签3"),
             QStringLiteral("检测内容：是否有乱码、是否有查询的作品名称，调整取码模式2或或者3；"), QRect(15, 444, 496, 16));
}

void DebugWindow::ShowSearch(const std::string &address, const std::string &pageText)
{
    m_address->setText(FromGbk(address));
    QString text = FromGbk(pageText);
    if (text.size() > kMaxShownCharacters) {
        const qsizetype total = text.size();
        text.truncate(kMaxShownCharacters);
        text += QStringLiteral("\r\n……（页面共 %1 个字符，这里只显示前 %2 个）").arg(total).arg(kMaxShownCharacters);
    }
    m_pageText->setPlainText(text);
}
