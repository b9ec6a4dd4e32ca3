#include "CookieUtils.h"

#include "text/GbkText.h"

#include <unordered_set>

namespace {

constexpr std::string_view kItemSeparator = "; ";
constexpr std::string_view kDeleted = "=deleted";

// Trims the cookie text in place; a closing ";" gains a blank so that the
// split at "; " cuts the last item off cleanly.
void TidyCookieText(std::string &cookies)
{
    cookies = TrimBlanks(cookies);
    if (!cookies.empty() && cookies.back() == ';')
        cookies += ' ';
}

bool IsDeleted(std::string_view item)
{
    return item.size() >= kDeleted.size() && item.substr(item.size() - kDeleted.size()) == kDeleted;
}

} // namespace

std::string MergeCookies(std::string &oldCookies, std::string &newCookies)
{
    TidyCookieText(oldCookies);
    TidyCookieText(newCookies);

    std::vector<std::string> items = SplitGbk(newCookies, kItemSeparator);
    for (std::string &oldItem : SplitGbk(oldCookies, kItemSeparator)) {
        // Checked against the growing list: of several old items with one
        // name only the first is kept, and none when a new item has it.
        if (!HasCookieNamed(items, CookieName(oldItem)))
            items.push_back(std::move(oldItem));
    }

    std::string merged;
    for (const std::string &item : items) {
        if (IsDeleted(item))
            continue;
        merged += item;
        merged += kItemSeparator;
    }
    if (!merged.empty())
        merged.resize(merged.size() - kItemSeparator.size());

    oldCookies = RemoveDuplicateItems(merged, kItemSeparator);
    return oldCookies;
}

std::string CookieName(std::string_view item)
{
    const size_t equals = FindGbk(item, "=");
    return TrimBlanks(equals == std::string_view::npos ? item : item.substr(0, equals));
}

bool HasCookieNamed(const std::vector<std::string> &items, std::string_view name)
{
    for (const std::string &item : items) {
        if (CookieName(item) == name)
            return true;
    }
    return false;
}

std::string RemoveDuplicateItems(std::string_view text, std::string_view separator)
{
    const std::vector<std::string> pieces = SplitGbk(text, separator);
    // A set gives the same answer as looking each piece up in the list of
    // pieces seen, without the quadratic cost on a long text.
    std::unordered_set<std::string_view> seen;
    std::string out;
    for (const std::string &piece : pieces) {
        if (!seen.insert(piece).second)
            continue;
        out += piece;
        out += separator;
    }
    if (!out.empty())
        out.resize(out.size() - separator.size());
    return out;
}

int FindItem(const std::vector<std::string> &items, std::string_view text)
{
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text)
            return static_cast<int>(i + 1);
    }
    return -1;
}
