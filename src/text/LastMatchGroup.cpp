#include "text/HtmlToText.h"

#include "text/RegexEngine.h"

std::string LastMatchGroup(std::string_view subject, std::string_view pattern)
{
    RegexEngine engine;
    engine.Search(pattern, subject, true, true, true, true);
    // The last match's group wins (reading the others first would give the
    // same text, only slower).
    const int count = engine.MatchCount();
    return count > 0 ? engine.SubMatch(count, 1) : std::string();
}
