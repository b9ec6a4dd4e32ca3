#pragma once

#include <string>
#include <string_view>

// JSON string literal (with the quotes) for UTF-8 text. Bytes that are not
// valid UTF-8 are written as U+FFFD so the output always parses.
std::string JsonString(std::string_view utf8);
