#pragma once

#include <string>
#include <string_view>

// Turning texts from a source or a web page into names on disk. All texts are
// in the program's code page; both functions step over double-byte
// characters as wholes, so a trail byte that equals "\" or "|" is kept.

// The file-name stem of a chapter: the title without "/", "\", "|", "*", "?",
// ":", ",", "<", ">", the double quote, and without any blank (ASCII space
// and full-width space). Tabs and other characters stay. A stem whose UTF-8
// form is longer than 240 bytes is cut at a character boundary, so that the
// stem and ".txt" fit a folder entry.
std::string CleanChapterTitle(std::string_view title);

// A folder name made from a source name or a work name: never a path that
// leaves its parent, never an invalid name. Path separators and control
// characters are removed, trailing dots and blanks dropped (so "." and ".."
// vanish), a name longer than a file system allows is cut at a character
// boundary, and a name left empty becomes "未命名".
std::string SafeFolderName(std::string_view name);
