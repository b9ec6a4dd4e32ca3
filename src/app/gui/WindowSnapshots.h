#pragma once

#include <QString>

class MainWindow;

// A way to look at what the user sees without a person at the screen: with
// QUILLORA_SNAPSHOT_DIR set, the program writes pictures of its windows
// (the main window with each tab page, the debug window and the about
// window) into that folder and then closes. Used by scripts/screenshot.

// The folder named by QUILLORA_SNAPSHOT_DIR, or empty text.
QString SnapshotFolderRequested();

// Once the event loop runs: writes the pictures, then closes `window`.
void ScheduleSnapshots(MainWindow &window, const QString &folder);
