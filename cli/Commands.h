#pragma once

#include "Cli.h"

// Each subcommand lives in its own file; add it here and to the table in
// Cli.cpp.

// quillora-cli sources: list, add, modify, delete, activate, import-mdb.
int RunSources(const std::vector<std::string> &args, CliIo &io);
// quillora-cli escape: a search keyword in the utf8 or usc2 escaped form.
int RunEscape(const std::vector<std::string> &args, CliIo &io);
// quillora-cli fetch: one page through the page, winhttp or wininet engine.
int RunFetch(const std::vector<std::string> &args, CliIo &io);
// quillora-cli regex: a source expression over standard input, as JSON.
int RunRegex(const std::vector<std::string> &args, CliIo &io);
// quillora-cli html2text: the plain text of the HTML on standard input.
int RunHtml2Text(const std::vector<std::string> &args, CliIo &io);
// quillora-cli search: the works a source's search finds for a keyword.
int RunSearch(const std::vector<std::string> &args, CliIo &io);
// quillora-cli work: a work's data, table-of-contents address and chapters.
int RunWork(const std::vector<std::string> &args, CliIo &io);
// quillora-cli chapter: one chapter's plain text.
int RunChapter(const std::vector<std::string> &args, CliIo &io);
// quillora-cli download: a work's chapters into one text file each.
int RunDownload(const std::vector<std::string> &args, CliIo &io);
