#pragma once

#include <string_view>

// The 1-based byte position of the first occurrence of `subtext` in `text` at
// or after byte `start` (0 counts as 1); -1 when there is none or when either
// text is empty. Each text ends at its first zero byte. Bytes are compared
// exactly, without regard to character boundaries; `caseInsensitive` folds
// ASCII letters only.
int FindText(std::string_view text, std::string_view subtext, int start = 1, bool caseInsensitive = false);
