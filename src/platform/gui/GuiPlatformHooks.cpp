#include "GuiPlatformHooks.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

void GuiPlatformHooks::ProcessPendingEvents()
{
    QCoreApplication::processEvents();
}

bool GuiPlatformHooks::OpenFolder(const std::string &utf8Path)
{
    const QString path = QString::fromUtf8(utf8Path.data(), static_cast<qsizetype>(utf8Path.size()));
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
