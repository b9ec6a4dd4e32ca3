#include "StartProgram.h"

#include "app/AppState.h"
#include "app/gui/MainWindow.h"
#include "app/gui/WindowSnapshots.h"
#include "platform/ProgramFolder.h"
#include "platform/gui/GuiPlatformHooks.h"
#include "sources/SourceStoreSetup.h"
#include "sources/gui/StoreSetupNotes.h"

#include <QApplication>
#include <QTimer>

namespace fs = std::filesystem;

int StartProgram(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillora"));
    const fs::path programFolder = ResolveProgramFolder();
    std::error_code ec;
    fs::current_path(programFolder, ec);
    // The first start in a folder creates the source store (with the example
    // source, or the rows of an old Access file) and, when there is no
    // configuration file yet, makes the example the active source, so the
    // main window loads it below.
    OpenedStore storeSetup = OpenSourceStore(programFolder);
    storeSetup.store->Close(); // the source manager opens its own when asked
    return RunMainWindow(programFolder, &storeSetup);
}

int RunMainWindow(const fs::path &programFolder, const OpenedStore *storeSetup)
{
    // Everything the handlers share lives here and goes away with the
    // loop, after the window that uses it.
    AppState state;
    GuiPlatformHooks hooks;
    MainWindow window(state, programFolder, hooks);
    QObject::connect(&window, &MainWindow::Closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();
    if (storeSetup != nullptr)
        QTimer::singleShot(0, &window, [&window, storeSetup] { ShowStoreSetupNotes(&window, *storeSetup); });
    if (const QString folder = SnapshotFolderRequested(); !folder.isEmpty())
        ScheduleSnapshots(window, folder);
    QApplication::exec();
    return 0;
}
