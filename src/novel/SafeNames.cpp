#include "SafeNames.h"

#include "text/CodePage.h"
#include "text/GbkText.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<char, 10> kRemovedFromTitles = {'/', '\\', '|', '*', '?', ':', ',', '<', '>', '"'};
constexpr std::string_view kFullWidthSpace = "\xA1\xA1";

// Room for the name in a folder entry once it is written in UTF-8 (255 bytes
// on the usual file systems), with a margin for the downloads' ".txt" files.
constexpr size_t kMaxFolderNameUtf8 = 240;

bool IsBlank(std::string_view character) { return character == " " || character == kFullWidthSpace; }

template <typename Keep>
std::string KeepCharacters(std::string_view text, Keep keep)
{
    std::string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const size_t length = std::max<size_t>(1, GbkCharLength(text, pos));
        const std::string_view character = text.substr(pos, length);
        if (keep(character))
            out.append(character);
        pos += length;
    }
    return out;
}

// Removes trailing dots and blanks, character by character.
void DropTrailingDotsAndBlanks(std::string &name)
{
    for (;;) {
        if (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
            // A single byte at the end may still be the trail byte of a
            // double-byte character; check that the last character is it.
            size_t last = 0;
            for (size_t pos = 0; pos < name.size(); pos += std::max<size_t>(1, GbkCharLength(name, pos)))
                last = pos;
            if (last != name.size() - 1)
                return;
            name.pop_back();
        } else if (name.size() >= 2 && std::string_view(name).substr(name.size() - 2) == kFullWidthSpace) {
            name.resize(name.size() - 2);
        } else {
            return;
        }
    }
}

// Cuts the name to whole characters whose UTF-8 form fits a folder entry.
std::string FitFolderEntry(std::string name)
{
    if (GbkToUtf8(name).size() <= kMaxFolderNameUtf8)
        return name;
    std::string cut;
    for (size_t pos = 0; pos < name.size();) {
        const size_t length = std::max<size_t>(1, GbkCharLength(name, pos));
        if (GbkToUtf8(cut + name.substr(pos, length)).size() > kMaxFolderNameUtf8)
            break;
        cut += name.substr(pos, length);
        pos += length;
    }
    return cut;
}

} // namespace

std::string CleanChapterTitle(std::string_view title)
{
    // Cut like a folder name: a longer title would make a file name the
    // file system refuses, and the chapter would silently not be saved.
    return FitFolderEntry(KeepCharacters(title, [](std::string_view character) {
        if (IsBlank(character))
            return false;
        return character.size() != 1 ||
               std::find(kRemovedFromTitles.begin(), kRemovedFromTitles.end(), character[0]) == kRemovedFromTitles.end();
    }));
}

std::string SafeFolderName(std::string_view name)
{
    std::string safe = KeepCharacters(name, [](std::string_view character) {
        if (character.size() != 1)
            return true;
        const auto byte = static_cast<unsigned char>(character[0]);
        return byte >= 0x20 && byte != 0x7F && byte != '/' && byte != '\\';
    });
    safe = FitFolderEntry(std::move(safe));
    DropTrailingDotsAndBlanks(safe);
    if (safe.empty())
        return Utf8ToGbk("未命名");
    return safe;
}
