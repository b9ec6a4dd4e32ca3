#pragma once

#include <string>
#include <string_view>

// Picking and cleaning page fragments. Both take and give code-page text.

// Group 1 of the last match of `pattern` (a source expression: case-sensitive,
// multiline, global, quote token on) in `subject`; empty text when nothing
// matches, the pattern cannot be used or has no group.
std::string LastMatchGroup(std::string_view subject, std::string_view pattern);

// The plain text a browser renders for the HTML fragment `html` (its
// innerText): block elements and <br> become line breaks, paragraphs are set
// apart by an empty line, entities are decoded, scripts, styles and comments
// dropped, white space collapsed outside <pre>, &nbsp; becomes a plain space.
// Line breaks are "\r\n". Any input, however broken or deep, ends promptly.
std::string HtmlToText(std::string_view html);
