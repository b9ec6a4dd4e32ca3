#pragma once

#include <string>
#include <string_view>

// HTML parsers slow down with the depth of the tree (every start tag looks
// through the open elements), so a page of a million unclosed <div>s would
// take hours. This pass copies UTF-8 `html` and leaves out the start tags
// that would open an element deeper than `maxDepth`, and their end tags; text
// and every other tag stay. Browsers flatten such trees in a similar way.
//
// Only elements that can really nest are counted: void elements (<br>,
// <img>) and elements that a like sibling closes (<p>, <li>, <td> ...) are not.
std::string LimitHtmlNesting(std::string_view html, int maxDepth);
