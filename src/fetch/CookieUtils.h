#pragma once

#include <string>
#include <string_view>
#include <vector>

// Cookie text as the request engines keep it: "name=value" items separated by
// "; ". Names are compared exactly (case included) after trimming blanks.

// Merges `newCookies` into `oldCookies`: new items first in their order, then
// the old items whose names no new item has; items ending in "=deleted" are
// dropped and repeated items kept once. Both arguments come back trimmed (a
// closing ";" gains a blank); `oldCookies` comes back holding the result,
// which is also returned.
std::string MergeCookies(std::string &oldCookies, std::string &newCookies);

// The part of `item` before its first "=" (all of it when there is none),
// trimmed.
std::string CookieName(std::string_view item);

// True when some item's CookieName is exactly `name`.
bool HasCookieNamed(const std::vector<std::string> &items, std::string_view name);

// `text` split at `separator`, each repeated piece dropped (the first stays,
// order kept), joined again with `separator`.
std::string RemoveDuplicateItems(std::string_view text, std::string_view separator);

// The 1-based index of the first item exactly equal to `text`; -1 when none is.
int FindItem(const std::vector<std::string> &items, std::string_view text);
