#pragma once

#include <string>
#include <string_view>

// Small text operations both request engines use to prepare request headers
// and read response headers. Texts are code-page byte strings; markers are
// only found at character boundaries, never inside a double-byte character.
// Nothing here fails: a missing line, name or marker gives empty text.

// Header text: "Name: value" lines separated by CR LF. Capitalises the first
// letter of every word of every name ("content-type" -> "Content-Type",
// "x-FOO" -> "X-FOO"), drops lines without ":", and leaves no CR LF at the end.
std::string NormalizeHeaderNames(std::string_view headers);

// The text with its first byte upper-cased when it is an ASCII letter a-z.
std::string CapitalizeFirst(std::string_view text);

// The value of the first line that begins with `name` (exact case), taken
// after "name: " in that line; empty when no line begins with the name or
// that line lacks "name: ".
std::string HeaderValue(std::string_view headers, std::string_view name);

// The text before the first occurrence of `marker`; empty when it is missing.
// startPos >= 0: search forwards from that 1-based byte (0 means 1).
// startPos = -n: the last occurrence lying wholly within the first L - m bytes
// (L the text's length, m = 0 for -1, n otherwise).
// caseInsensitive folds ASCII letters only.
std::string TextBefore(std::string_view text, std::string_view marker, int startPos = 0,
                       bool caseInsensitive = false);

// The text after the last occurrence of `marker`; empty when it is missing.
// startPos >= 0: the last occurrence lying wholly within the first
// L - startPos bytes. startPos = -n: the first occurrence from byte n on.
std::string TextAfter(std::string_view text, std::string_view marker, int startPos = 0,
                      bool caseInsensitive = false);

// The text between the first `left` marker (searched from 1-based byte
// startPos, 0 means 1) and the first `right` marker after it; empty when
// either is missing. In both markers "#引号" (in the code page) stands for a
// double quote.
std::string TextBetween(std::string_view text, std::string_view left, std::string_view right, int startPos = 0,
                        bool caseInsensitive = false);
