#include "host/FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {
constexpr int kMaxLinkHops = 40;  // as the kernel's own limit on symbolic links in a path
constexpr int kTempAttempts = 100;

bool Fail(const std::string& path, const std::string& what, std::string* error)
{
    if (error) *error = path + ": " + what;
    return false;
}

// errno after a failed call, which a short write leaves at 0.
int LastError() { return errno != 0 ? errno : EIO; }

bool WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Devices and FIFOs (and files whose owner only an in-place write keeps) are written as they are.
bool WriteInPlace(const std::string& shownPath, const std::string& target, const std::string& text,
                  std::string* error)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return Fail(shownPath, std::string("cannot write: ") + std::strerror(errno), error);
    struct stat st {};
    errno = 0;
    int why = WriteAll(fd, text) ? 0 : LastError();
    if (why == 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::fsync(fd) != 0) why = LastError();
    if (::close(fd) != 0 && why == 0) why = LastError();
    return why == 0 || Fail(shownPath, std::string("cannot write: ") + std::strerror(why), error);
}

// A new file beside the target, named so that it cannot be longer than any folder allows.
int CreateTemp(const std::string& dir, std::string* temp)
{
    for (int i = 0; i < kTempAttempts; ++i) {
        *temp = dir + "/.rphoto-save." + std::to_string(::getpid()) + "." + std::to_string(i);
        const int fd = ::open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}
}  // namespace

bool ResolveLinks(const std::string& path, std::string* target, std::string* error)
{
    std::string p = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            *target = p;
            return true;
        }
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(p.c_str(), buf, sizeof buf);
        if (n <= 0 || n >= static_cast<ssize_t>(sizeof buf))
            return Fail(path, std::string("cannot follow the link: ") + std::strerror(errno), error);
        std::string link(buf, static_cast<size_t>(n));
        const std::string dir = std::filesystem::path(p).parent_path().string();
        if (link[0] != '/' && !dir.empty()) link = dir + "/" + link;
        p = link;
    }
    return Fail(path, "too many levels of symbolic links", error);
}

bool ReplaceFileContent(const std::string& path, const std::string& text, BeforeRenameHook hook,
                        std::string* error)
{
    std::string target;
    if (!ResolveLinks(path, &target, error)) return false;
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) return WriteInPlace(path, target, text, error);

    std::string dir = std::filesystem::path(target).parent_path().string();
    if (dir.empty()) dir = ".";
    std::error_code ec;
    if (!exists) std::filesystem::create_directories(dir, ec);
    std::string temp;
    const int fd = CreateTemp(dir, &temp);
    if (fd < 0) return Fail(path, std::string("cannot write: ") + std::strerror(errno), error);
    errno = 0;
    int why = WriteAll(fd, text) && ::fsync(fd) == 0 ? 0 : LastError();
    struct stat made {};
    if (why == 0 && exists && ::fstat(fd, &made) == 0 && (made.st_uid != old.st_uid || made.st_gid != old.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        ::close(fd);
        ::unlink(temp.c_str());
        return WriteInPlace(path, target, text, error);
    }
    if (why == 0 && exists && ::fchmod(fd, old.st_mode & 07777) != 0) why = LastError();
    if (::close(fd) != 0 && why == 0) why = LastError();
    if (why == 0 && hook && !hook(temp)) return Fail(path, "save interrupted", error);  // temp left as a crash leaves it
    if (why == 0 && std::rename(temp.c_str(), target.c_str()) != 0) why = LastError();
    if (why != 0) {
        ::unlink(temp.c_str());
        return Fail(path, std::string("cannot write: ") + std::strerror(why), error);
    }
    // The rename itself lasts once the folder is synced.
    const int folder = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}
