#pragma once

#include "sources/SourceStore.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The one step that brings the source store up, for the GUI and the CLI alike.
//
// With a store file in the program folder, it is opened. Without one, a new
// store is made: the sources of the Windows program's "voldTorva.mdb" when
// that file lies beside it (read once, never changed), else one example
// source for the offline demo site, which also becomes the active source when
// there is no configuration file yet. The new file appears whole or not at
// all, so an interrupted first start simply tries again next time.
struct OpenedStore {
    std::unique_ptr<SourceStore> store; // never null; not open when it failed
    bool created = false;
    int imported = 0;               // rows taken from voldTorva.mdb
    bool activatedExample = false;  // the example was written to the configuration file
    std::vector<std::string> notes; // calm English lines worth telling the user
};

OpenedStore OpenSourceStore(const std::filesystem::path &programFolder);

// The example source, as stored (the date left empty): expressions for the
// demo site quillora-demo-site on its default port, UTF-8 pages.
SourceRecord ExampleSource();
