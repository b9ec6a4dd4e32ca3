#include "ProfileFile.h"

#include "text/AsciiCase.h"
#include "text/GbkText.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A configuration file is a few kilobytes; anything far larger is not one,
// and is neither read nor overwritten.
constexpr std::uintmax_t kMaxFileBytes = 16u * 1024u * 1024u;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimmedBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Names match without regard to ASCII letter case; the bytes of a
// multi-byte character are compared exactly, since its trail byte may look
// like a letter.
bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size();) {
        const size_t length = GbkCharLength(a, i);
        if (length == 1) {
            if (AsciiLower(a[i]) != AsciiLower(b[i]))
                return false;
        } else if (a.substr(i, length) != b.substr(i, length)) {
            return false;
        }
        i += length;
    }
    return true;
}

// The section name of a header line "[name]", or nullopt-like false.
bool HeaderName(std::string_view line, std::string_view &name)
{
    line = TrimmedBlanks(line);
    if (line.empty() || line.front() != '[')
        return false;
    line.remove_prefix(1);
    const size_t close = line.find(']');
    name = TrimmedBlanks(line.substr(0, close));
    return true;
}

bool IsComment(std::string_view line)
{
    line = TrimmedBlanks(line);
    return !line.empty() && line.front() == ';';
}

std::string_view KeyOf(std::string_view line)
{
    const size_t equals = line.find('=');
    return equals == std::string_view::npos ? std::string_view() : TrimmedBlanks(line.substr(0, equals));
}

std::string ValueOf(std::string_view line)
{
    std::string_view value = TrimmedBlanks(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    // Cut at the last whole character that fits, never inside one.
    size_t end = 0;
    while (end < value.size()) {
        const size_t next = end + GbkCharLength(value, end);
        if (next > ProfileFile::kMaxValueBytes)
            break;
        end = next;
    }
    return std::string(value.substr(0, end));
}

// A value is one line: a line break inside it would end it early and let
// the rest pose as further keys or sections.
std::string OneLine(std::string_view value)
{
    std::string line(value);
    for (char &c : line) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return line;
}

std::vector<std::string> SplitLines(const std::string &content)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

bool WriteAll(int fd, const std::string &content)
{
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t written = ::write(fd, content.data() + done, content.size() - done);
        if (written <= 0)
            return false;
        done += static_cast<size_t>(written);
    }
    return ::fsync(fd) == 0;
}

mode_t ModeFor(const fs::path &path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        return info.st_mode & 07777;
    return 0644;
}

} // namespace

ProfileFile ProfileFile::Load(const fs::path &path)
{
    ProfileFile profile;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status))
        return profile;
    profile.m_readable = false;
    if (!fs::is_regular_file(status) || fs::file_size(path, ec) > kMaxFileBytes || ec)
        return profile;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return profile;
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return profile;
    profile.m_lines = SplitLines(content);
    profile.m_readable = true;
    return profile;
}

size_t ProfileFile::FindSection(std::string_view section) const
{
    std::string_view name;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (HeaderName(m_lines[i], name) && SameName(name, section))
            return i;
    }
    return std::string::npos;
}

size_t ProfileFile::SectionEnd(size_t header) const
{
    std::string_view name;
    size_t i = header + 1;
    while (i < m_lines.size() && !HeaderName(m_lines[i], name))
        ++i;
    return i;
}

ProfileFile::KeyLine ProfileFile::FindKey(size_t header, std::string_view key) const
{
    const size_t end = SectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        if (!IsComment(m_lines[i]) && m_lines[i].find('=') != std::string::npos && SameName(KeyOf(m_lines[i]), key))
            return {i, true};
    }
    return {end, false};
}

std::string ProfileFile::Read(std::string_view section, std::string_view key) const
{
    const size_t header = FindSection(section);
    if (header == std::string::npos)
        return {};
    const KeyLine line = FindKey(header, key);
    return line.found ? ValueOf(m_lines[line.index]) : std::string();
}

void ProfileFile::Write(std::string_view section, std::string_view key, std::string_view value)
{
    std::string line = std::string(key) + '=' + OneLine(value);
    const size_t header = FindSection(section);
    if (header == std::string::npos) {
        m_lines.push_back('[' + std::string(section) + ']');
        m_lines.push_back(std::move(line));
        return;
    }
    const KeyLine found = FindKey(header, key);
    if (found.found) {
        m_lines[found.index] = std::move(line);
        return;
    }
    // A new key goes after the section's last line with content, so blank
    // lines that set the next section apart stay where they are.
    size_t at = found.index;
    while (at > header + 1 && TrimmedBlanks(m_lines[at - 1]).empty())
        --at;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

bool ProfileFile::Save(const fs::path &path) const
{
    if (!m_readable)
        return false;
    std::string content;
    for (const std::string &line : m_lines)
        content += line + "\r\n";

    std::string temporary = (path.parent_path() / (path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    const bool written = ::fchmod(fd, ModeFor(path)) == 0 && WriteAll(fd, content);
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::string ReadProfileString(const fs::path &path, std::string_view section, std::string_view key)
{
    return ProfileFile::Load(path).Read(section, key);
}

bool WriteProfileString(const fs::path &path, std::string_view section, std::string_view key, std::string_view value)
{
    ProfileFile profile = ProfileFile::Load(path);
    profile.Write(section, key, value);
    return profile.Save(path);
}
