#pragma once

#include <string>
#include <string_view>

// The two ways the search keyword enters a source's search address.

// Percent form of the text's bytes ("%E4%B8%AD").
std::string EncodeKeywordUtf8(std::string_view text, bool keepUnreserved = false, bool convertToUtf8 = false);

// The script-escape form ("%u4E2D"), exactly as a script's escape() gives it
// for a string literal made of the text; empty when such a literal would not
// compile.
std::string EncodeKeywordEscape(std::string_view text, bool keepBrackets = false, bool keepPunctuation = false,
                                std::string_view unicodePrefix = {});
