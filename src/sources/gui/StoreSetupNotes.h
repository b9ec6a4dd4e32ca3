#pragma once

#include <QStringList>

struct OpenedStore;
class QWidget;

// The first-start notes of OpenSourceStore as a window tells them: calm
// Chinese lines about the old program's Access file. A store that cannot be
// made or opened gets no line: the source manager's list simply stays empty
// and each change then reports its own failure.
QStringList StoreSetupNoteTexts(const OpenedStore &opened);

// Shows those lines in one information box; nothing when there are none.
void ShowStoreSetupNotes(QWidget *parent, const OpenedStore &opened);
