#include "WindowSnapshots.h"

#include "app/gui/MainWindow.h"
#include "diagnostics/gui/AboutWindow.h"
#include "diagnostics/gui/DebugWindow.h"
#include "platform/gui/TabControl.h"

#include <QDir>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

namespace {

void Save(QWidget &widget, const QString &folder, const QString &name)
{
    const QString path = QDir(folder).filePath(name);
    if (!widget.grab().save(path))
        std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
}

void SnapshotPages(MainWindow &window, const QString &folder)
{
    TabControl &tabs = *window.tabs();
    const bool workPageEnabled = tabs.IsPageEnabled(WorkPage::kIndex);
    // The work page is disabled until a work is chosen; show it anyway.
    tabs.SetPageEnabled(WorkPage::kIndex, true);
    for (int page = 0; page < tabs.count(); ++page) {
        tabs.SetCurrentPage(page);
        Save(window, folder, QStringLiteral("main-page%1.png").arg(page));
    }
    tabs.SetCurrentPage(ResultPage::kIndex);
    tabs.SetPageEnabled(WorkPage::kIndex, workPageEnabled);
    Save(window, folder, QStringLiteral("main.png"));
}

void TakeSnapshots(MainWindow &window, const QString &folder)
{
    QDir().mkpath(folder);
    SnapshotPages(window, folder);

    window.OnDebugClicked();
    if (DebugWindow *debug = window.debugWindow())
        Save(*debug, folder, QStringLiteral("debug.png"));

    AboutWindow about;
    about.show();
    Save(about, folder, QStringLiteral("about.png"));
    about.close();

    window.close();
}

} // namespace

QString SnapshotFolderRequested()
{
    return qEnvironmentVariable("QUILLORA_SNAPSHOT_DIR");
}

void ScheduleSnapshots(MainWindow &window, const QString &folder)
{
    QTimer::singleShot(0, &window, [&window, folder] { TakeSnapshots(window, folder); });
}
