#pragma once

#include <string>
#include <string_view>
#include <vector>

// Character-aware helpers over code-page (GB18030) byte strings. A marker is
// only found where a character starts, never at the second byte of a
// double-byte character. Trimming removes ASCII spaces and the full-width
// space (A1 A1) from both ends; tabs, CR and LF are kept.

// Length in bytes (1, 2 or 4) of the character starting at byte `pos`. A lead
// byte not followed by a valid trail byte counts as a single byte, so a stray
// byte never swallows the ASCII character after it.
size_t GbkCharLength(std::string_view text, size_t pos);

// 0-based offset of the first occurrence of `marker` that starts at a
// character boundary at or after byte offset `from`; npos when there is none
// or `marker` is empty.
size_t FindGbk(std::string_view text, std::string_view marker, size_t from = 0, bool caseInsensitive = false);

// 0-based offset of the last occurrence of `marker` at a character boundary
// that ends at or before byte offset `limit`; npos when there is none.
size_t FindLastGbk(std::string_view text, std::string_view marker, size_t limit, bool caseInsensitive = false);

// The pieces between the separators, in order. An empty piece between two
// separators counts, the empty piece after a final separator does not, and an
// empty text gives no pieces. An empty separator gives the text as one piece.
std::vector<std::string> SplitGbk(std::string_view text, std::string_view separator);

// Every occurrence of `from` replaced by `to`.
std::string ReplaceAllGbk(std::string_view text, std::string_view from, std::string_view to);

// `text` without blanks (ASCII space, full-width space) at either end.
std::string TrimBlanks(std::string_view text);
