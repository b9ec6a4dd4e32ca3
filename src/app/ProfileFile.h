#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// An initialisation ("profile") file: [section] lines, each followed by
// key=value lines. Texts are bytes in the program's code page.
//
// Reading follows the classic profile rules: section and key names match
// without regard to ASCII letter case, the first matching key wins, a value
// loses the blanks around it and one pair of matching quotation marks, and a
// missing file, section or key reads as empty text.
//
// Writing changes only the one line it must (or adds it at the end of its
// section, or adds the section at the end of the file) and keeps every other
// line as it was. Lines are written with CR LF endings. Save() writes a
// temporary file beside the target and renames it into place, so a crash
// never leaves a half-written file.
class ProfileFile {
public:
    // What a value read back may hold at most: a value read into a buffer of
    // 10,240 bytes with its terminating zero.
    static constexpr size_t kMaxValueBytes = 10239;

    // A missing file gives an empty profile that is ready to be saved; a
    // file that exists but cannot be read gives one that refuses to save, so
    // that a write never replaces contents it has not seen.
    static ProfileFile Load(const std::filesystem::path &path);

    std::string Read(std::string_view section, std::string_view key) const;
    void Write(std::string_view section, std::string_view key, std::string_view value);
    // False when the file could not be written; the old file is then intact.
    bool Save(const std::filesystem::path &path) const;

private:
    struct KeyLine {
        size_t index = 0;
        bool found = false;
    };

    // Index of the section's header line, or npos.
    size_t FindSection(std::string_view section) const;
    // The end of the section whose header is at `header`: the index of the
    // next header, or the line count.
    size_t SectionEnd(size_t header) const;
    KeyLine FindKey(size_t header, std::string_view key) const;

    std::vector<std::string> m_lines;
    bool m_readable = true;
};

// One-shot forms for a single key.
std::string ReadProfileString(const std::filesystem::path &path, std::string_view section, std::string_view key);
bool WriteProfileString(const std::filesystem::path &path, std::string_view section, std::string_view key,
                        std::string_view value);
