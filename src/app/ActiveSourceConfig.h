#pragma once

#include "sources/SourceRecord.h"

#include <filesystem>

// The active source kept between runs in "配置文件.ini" in the program folder,
// section "配置文件", one key per text: "信息源名称" and "信息源正则B" ..
// "信息源正则H". The file holds the texts as the expressions use them, with
// apostrophes, not the store's quote token.

std::filesystem::path ConfigFilePath(const std::filesystem::path &programFolder);

// The eight texts; a missing file, section or key gives empty text.
ActiveSource LoadActiveSource(const std::filesystem::path &programFolder);

// Writes the eight keys, the seven expression texts with every quote token
// (any letter case) turned into an apostrophe; the name is written as it is.
// The rest of the file is kept. False when the file could not be written,
// which callers may ignore: the old file is then left as it was.
bool SaveActiveSource(const std::filesystem::path &programFolder, const ActiveSource &source);
