#pragma once

#include "sources/SourceRecord.h"

#include <string>

// The values through which the windows' handlers hand data to one another.
// Every text is in the program's code page. One per running program; the GUI
// owns it and hands it to whoever needs it (no hidden global).
struct AppState {
    ActiveSource activeSource;
    std::string editedSourceId;
    std::string editedSourceDate;
    std::string pageAddress;
    std::string pageText;
    std::string workName;
    std::string chapterTitle;
    std::string chapterText;
};
