#pragma once

#include "sources/SourceStore.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// What the first start has to tell the user. The kind lets a window say it
// in its own words; the text is one calm English line for the terminal.
enum class SetupNoteKind {
    Imported,      // rows were taken from voldTorva.mdb
    MdbUnreadable, // voldTorva.mdb is no readable Access file; nothing was taken
    StoreNotMade,  // the store file could not be made or filled
    StoreUnusable, // the file in place is not a source store
};

struct SetupNote {
    SetupNoteKind kind;
    std::string text;
};

struct OpenedStore {
    std::unique_ptr<SourceStore> store; // never null; not open when it failed
    bool created = false;
    int imported = 0;               // rows taken from voldTorva.mdb
    bool activatedExample = false;  // the example was written to the configuration file
    std::vector<SetupNote> notes;   // worth telling the user, in the order they arose
};

// The one step that brings the source store up, for the GUI and the CLI alike.
//
// With a store file in the program folder, it is opened. Without one, a new
// store is made: the sources of the Windows program's "voldTorva.mdb" when
// that file lies beside it (read once, never changed), else one example
// source for the offline demo site, which also becomes the active source when
// there is no configuration file yet. The new file appears whole or not at
// all, so an interrupted first start simply tries again next time.
OpenedStore OpenSourceStore(const std::filesystem::path &programFolder);

// The example source, as stored (the date left empty): expressions for the
// demo site quillora-demo-site on its default port, UTF-8 pages.
SourceRecord ExampleSource();
