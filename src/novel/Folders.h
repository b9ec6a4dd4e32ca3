#pragma once

#include <filesystem>
#include <string_view>

// Folders and files of the download. Paths are file-system paths (UTF-8 on
// this platform); the names that come from the code page are converted by
// WorkFolderPath and ChapterFilePath.

// True when `path` names an existing directory.
bool FolderExists(const std::filesystem::path &path);

// Creates every missing directory of `path`; true when it exists afterwards.
bool EnsureFolder(const std::filesystem::path &path);

// programFolder / source name / work name, each name made safe first
// (SafeFolderName), so the result always lies inside programFolder.
std::filesystem::path SourceFolderPath(const std::filesystem::path &programFolder, std::string_view sourceNameGbk);
std::filesystem::path WorkFolderPath(const std::filesystem::path &programFolder, std::string_view sourceNameGbk,
                                     std::string_view workNameGbk);

// workFolder / (CleanChapterTitle(title) + ".txt").
std::filesystem::path ChapterFilePath(const std::filesystem::path &workFolder, std::string_view chapterTitleGbk);

// Writes `bytes` to `path`, replacing any file there, through a temporary
// file in the same folder that is renamed into place: the file holds either
// its old content or all of the new one, never part of it. False when
// nothing could be written (the temporary file is removed again).
bool WriteFileReplacing(const std::filesystem::path &path, std::string_view bytes);
