#pragma once

#include "novel/NovelChoices.h"

class MainWindow;

// The three radio groups of the main window as the workflows take them, each
// read in its fixed order (UTF8 then USC2; 模1, 模2, 模3; UTF8, GBK, 默认),
// the first checked button winning.
FetchChoices ReadFetchChoices(const MainWindow &window);
