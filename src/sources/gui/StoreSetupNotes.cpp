#include "StoreSetupNotes.h"

#include "platform/gui/MessageBox.h"
#include "sources/MdbImporter.h"
#include "sources/SourceStoreSetup.h"

QStringList StoreSetupNoteTexts(const OpenedStore &opened)
{
    const QString mdb = QString::fromUtf8(kMdbFileName);
    QStringList lines;
    for (const SetupNote &note : opened.notes) {
        switch (note.kind) {
        case SetupNoteKind::Imported:
            lines << QStringLiteral("已从 %1 导入 %2 个信息源。").arg(mdb).arg(opened.imported);
            break;
        case SetupNoteKind::MdbUnreadable:
            lines << QStringLiteral("%1 不是可读取的 Access 数据库，未从中导入信息源；该文件保持原样。").arg(mdb);
            break;
        case SetupNoteKind::StoreNotMade:
        case SetupNoteKind::StoreUnusable: break;
        }
    }
    return lines;
}

void ShowStoreSetupNotes(QWidget *parent, const OpenedStore &opened)
{
    const QStringList lines = StoreSetupNoteTexts(opened);
    if (!lines.isEmpty())
        MessageBox::Show(parent, lines.join(QLatin1Char('\n')), QString(), MessageBox::Icon::Information);
}
