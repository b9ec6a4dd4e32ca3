#pragma once

#include "sources/SourceRecord.h"

#include <initializer_list>
#include <string>
#include <string_view>

// The store keeps every apostrophe of the seven expression texts as the token
// "Torva替换", so stored rows stay byte-compatible with sources written by the
// program's earlier Windows versions. Saving escapes, choosing a source
// unescapes; the name is never touched.

struct ReplacePair {
    std::string_view find;
    std::string_view replace;
};

struct ReplaceOptions {
    int start = 1;              // 1-based byte position where replacing begins (0 counts as 1)
    int count = -1;             // at most this many replacements per pair; -1 for all
    bool caseSensitive = false; // ASCII letters are folded unless asked otherwise
};

// Applies each pair in turn to the result of the previous one: every
// occurrence from `start`, left to right, without overlap. A match only
// starts on a character boundary of the code page: where none starts, a
// multi-byte character is stepped over as a whole. A pair with an empty find
// text changes nothing.
std::string ReplaceEach(std::string_view text, std::initializer_list<ReplacePair> pairs,
                        const ReplaceOptions &options = {});

// The token, in the code page.
const std::string &QuoteToken();

// Apostrophe -> token, and token (any letter case) -> apostrophe.
std::string EscapeQuotes(std::string_view text);
std::string UnescapeQuotes(std::string_view text);

// The same over the seven expression texts of a source; the name is kept.
ActiveSource EscapeExpressions(ActiveSource source);
ActiveSource UnescapeExpressions(ActiveSource source);
