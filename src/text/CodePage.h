#pragma once

#include <string>
#include <string_view>

// Conversions between the program's code page (GB18030) and UTF-8, and
// between any character set ICU knows and the code page. They never fail as a
// whole: what cannot be converted becomes "?".

// Code page -> UTF-8, up to the first zero byte.
std::string GbkToUtf8(std::string_view gbk);
// UTF-8 -> code page, up to the first zero byte. Invalid UTF-8 gives "?".
std::string Utf8ToGbk(std::string_view utf8);

// Decodes `bytes` from the character set named `charset` (any name or alias
// ICU knows: "utf-8", "big5", "shift_jis", "euc-kr", "iso-8859-1" ...) into
// the code page. Returns false and leaves `out` untouched when the name is
// unknown.
bool CharsetToGbk(std::string_view bytes, std::string_view charset, std::string &out);
