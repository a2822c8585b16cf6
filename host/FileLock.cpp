#include "host/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "host/FileReplace.h"

FileLock::~FileLock()
{
    if (m_fd >= 0) ::close(m_fd);  // closing releases the lock
}

bool FileLock::Lock(const std::string& path, std::string* error)
{
    std::string target;
    if (!ResolveLinks(path, &target, error)) return false;
    const std::string dir = std::filesystem::path(target).parent_path().string();
    std::error_code ec;
    if (!dir.empty()) std::filesystem::create_directories(dir, ec);
    for (;;) {
        // Non-blocking open: a FIFO must not wait for a writer here.
        const int fd = ::open(target.c_str(), O_RDONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (error) *error = path + ": cannot open: " + std::strerror(errno);
            return false;
        }
        struct stat held {}, now {};
        if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            ::close(fd);
            return true;
        }
        int rc;
        while ((rc = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (rc != 0) {
            if (error) *error = path + ": cannot lock: " + std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (::stat(target.c_str(), &now) == 0 && now.st_dev == held.st_dev && now.st_ino == held.st_ino) {
            if (m_fd >= 0) ::close(m_fd);
            m_fd = fd;
            return true;
        }
        ::close(fd);  // replaced while waiting: lock the new file
    }
}
