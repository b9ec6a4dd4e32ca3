#include "ProgramFolder.h"

#include <cstdlib>
#include <unistd.h>

namespace fs = std::filesystem;

fs::path ExecutableFolder()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return fs::current_path(ec);
    return exe.parent_path();
}

fs::path ResolveProgramFolder()
{
    const fs::path exeFolder = ExecutableFolder();
    if (::access(exeFolder.c_str(), W_OK) == 0)
        return exeFolder;

    fs::path data;
    if (const char *xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/')
        data = fs::path(xdg);
    else if (const char *home = std::getenv("HOME"); home != nullptr && *home != '\0')
        data = fs::path(home) / ".local" / "share";
    else
        return exeFolder;
    data /= "quillora";
    std::error_code ec;
    fs::create_directories(data, ec);
    return data;
}
