#pragma once

#include <filesystem>

// A fresh folder under the system's temporary directory, removed with
// everything in it when the object goes away. Stands in for a program folder.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::filesystem::path &path() const { return m_path; }

private:
    std::filesystem::path m_path;
};
