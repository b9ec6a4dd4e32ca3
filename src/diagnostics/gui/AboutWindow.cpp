#include "AboutWindow.h"

#include <QLabel>
#include <QPixmap>

// The picture lives in the GUI library's resources; a static library's
// resources are only linked in when something names them. (Outside any
// namespace: the macro declares the resource's global initialiser.)
static void LoadResources()
{
    Q_INIT_RESOURCE(quillora);
}

AboutWindow::AboutWindow(QWidget *parent)
    : QDialog(parent)
{
    LoadResources();
    setObjectName(QStringLiteral("窗口_关于"));
    setWindowTitle(QString());
    setModal(true);
    setFixedSize(487, 227);

    auto *label = new QLabel(QStringLiteral("自愿打赏"), this);
    label->setObjectName(QStringLiteral("透明标签1"));
    label->setGeometry(88, 112, 56, 32);

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("图片框2"));
    picture->setGeometry(237, -9, 240, 248);
    picture->setPixmap(QPixmap(QStringLiteral(":/about.png")));
}
