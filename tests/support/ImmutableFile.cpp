#include "ImmutableFile.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

bool SetImmutable(const std::filesystem::path &file, bool on)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

} // namespace

ImmutableFile::ImmutableFile(std::filesystem::path file) : m_file(std::move(file))
{
    m_ok = SetImmutable(m_file, true);
}

ImmutableFile::~ImmutableFile()
{
    if (m_ok)
        SetImmutable(m_file, false);
}
