#include "InstructionsPage.h"

#include "platform/gui/TabControl.h"

#include <QPlainTextEdit>

namespace {

QString InstructionsText()
{
    return QStringLiteral(
        "编写信息源需要借助正则表达式工具，先在工具中把表达式调试好，再填入书源管理。\n"
        "****************************************\n"
        "飞卢小说\n"
        "url加密：USC2\n"
        "取码：模2\n"
        "转码：默认\n"
        "\n"
        "纵横中文网\n"
        "url加密：UTF8\n"
        "取码：模2\n"
        "转码：GBK\n"
        "****************************************\n"
        "说明\n"
        "****************************************\n"
        "搜索地址：小说网站搜索链接地址；不可空；\n"
        "搜索列表：作用于搜索结果页，第1组为作品链接，第2组为作品名称；不可空；\n"
        "作品数据：作用于作品页，提取点击量、月票排名等作品数据；可为空；\n"
        "作品图片：作用于搜索结果页，提取各作品的封面图片链接；可为空；\n"
        "目录地址：作用于作品页，提取作品目录页的链接地址；不可空；\n");
}

} // namespace

InstructionsPage::InstructionsPage(TabControl &tabs)
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("page_操作说明"));
    tabs.addTab(page, QStringLiteral("操作说明"));

    m_instructions = new QPlainTextEdit(InstructionsText());
    m_instructions->setObjectName(QStringLiteral("编辑框1"));
    m_instructions->setReadOnly(true);
    tabs.PlaceOnPage(kIndex, m_instructions, QRect(7, 31, 704, 304));
}
