#pragma once

#include <filesystem>

// Marks a file immutable (the file system's "i" attribute) for as long as the
// object lives. Unlike permission bits this stops root too, so tests that run
// as root can still meet a store file that cannot be written. ok() is false
// where the file system or the process cannot set the attribute.
class ImmutableFile {
public:
    explicit ImmutableFile(std::filesystem::path file);
    ~ImmutableFile();
    ImmutableFile(const ImmutableFile &) = delete;
    ImmutableFile &operator=(const ImmutableFile &) = delete;

    bool ok() const { return m_ok; }

private:
    std::filesystem::path m_file;
    bool m_ok = false;
};
