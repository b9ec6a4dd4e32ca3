#include "TempFolder.h"

#include <cstdlib>
#include <string>

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quillora-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::filesystem::filesystem_error("mkdtemp", std::error_code(errno, std::generic_category()));
    m_path = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    // A test may have made parts read-only; give write access back first.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    }
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}
