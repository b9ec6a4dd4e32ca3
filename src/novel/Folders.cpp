#include "Folders.h"

#include "novel/SafeNames.h"
#include "text/CodePage.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <system_error>

#include <unistd.h>

namespace {

std::filesystem::path FromGbk(std::string_view gbk)
{
    const std::string utf8 = GbkToUtf8(gbk);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// A name no chapter file can have (chapter files end in ".txt"), unique per
// process and call, so two writers never share a temporary file.
std::filesystem::path TemporaryBeside(const std::filesystem::path &path)
{
    static std::atomic<unsigned> counter{0};
    std::string name = "." + path.filename().string();
    if (name.size() > 200)
        name.resize(200);
    name += "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".part";
    return path.parent_path() / name;
}

bool WriteWhole(const std::filesystem::path &path, std::string_view bytes)
{
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

} // namespace

bool FolderExists(const std::filesystem::path &path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

bool EnsureFolder(const std::filesystem::path &path)
{
    if (path.empty())
        return false;
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return FolderExists(path);
}

std::filesystem::path SourceFolderPath(const std::filesystem::path &programFolder, std::string_view sourceNameGbk)
{
    return programFolder / FromGbk(SafeFolderName(sourceNameGbk));
}

std::filesystem::path WorkFolderPath(const std::filesystem::path &programFolder, std::string_view sourceNameGbk,
                                     std::string_view workNameGbk)
{
    return SourceFolderPath(programFolder, sourceNameGbk) / FromGbk(SafeFolderName(workNameGbk));
}

std::filesystem::path ChapterFilePath(const std::filesystem::path &workFolder, std::string_view chapterTitleGbk)
{
    return workFolder / FromGbk(CleanChapterTitle(chapterTitleGbk) + ".txt");
}

bool WriteFileReplacing(const std::filesystem::path &path, std::string_view bytes)
{
    const std::filesystem::path temporary = TemporaryBeside(path);
    std::error_code error;
    if (!WriteWhole(temporary, bytes)) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}
