// Output files of the commands: temporary file and rename for regular files, devices as they are.
#include "app/OutputFile.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "app/Commands.h"

namespace {
// Temporary files in progress, read by the signal handler: a slot's path is complete before
// its flag is raised and the flag drops before the path is reused.
constexpr int kSlots = 8;
struct TempSlot {
    volatile std::sig_atomic_t used = 0;
    char path[PATH_MAX] = {};
};
TempSlot g_slots[kSlots];

int RegisterTemp(const std::string& path)
{
    for (int i = 0; i < kSlots; ++i) {
        if (g_slots[i].used || path.size() >= sizeof g_slots[i].path) continue;
        std::memcpy(g_slots[i].path, path.c_str(), path.size() + 1);
        g_slots[i].used = 1;
        return i;
    }
    return -1;
}

void UnregisterTemp(int slot)
{
    if (slot >= 0) g_slots[slot].used = 0;
}

extern "C" void RemoveTempsAndDie(int sig)
{
    for (TempSlot& s : g_slots)
        if (s.used) ::unlink(s.path);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

[[noreturn]] void Fail(const std::string& path, const char* what, int err)
{
    throw CommandError{path + ": " + what + ": " + std::strerror(err)};
}

// The file a write to `path` lands in: a symlink's final target, else `path` itself.
std::string ResolveTarget(const std::string& path)
{
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return path;
    std::string resolved(real);
    std::free(real);
    return resolved;
}

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
}  // namespace

OutputFile::OutputFile(const std::string& path) : m_path(path)
{
    if (path == "-") {
        m_file = stdout;
        return;
    }
    struct stat st {}, link {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    // A symlink to nothing yet creates its target, written directly.
    const bool dangling = !exists && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
    if ((exists && !S_ISREG(st.st_mode)) || dangling) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | (dangling ? O_CREAT | O_TRUNC : 0), 0666);
        if (fd < 0 || !(m_file = ::fdopen(fd, "wb"))) {
            const int err = errno;
            if (fd >= 0) ::close(fd);
            Fail(path, "cannot open", err);
        }
        return;
    }
    m_target = exists ? ResolveTarget(path) : path;
    const size_t slash = m_target.rfind('/');
    // A short fixed name in the target's folder: never longer than a name the folder accepts.
    m_temp = (slash == std::string::npos ? std::string() : m_target.substr(0, slash + 1)) + ".rphoto-XXXXXX";
    const int fd = ::mkstemp(m_temp.data());
    if (fd < 0) {
        const int err = errno;
        m_temp.clear();
        Fail(path, "cannot write", err);
    }
    m_slot = RegisterTemp(m_temp);
    if (exists) {
        (void)!::fchown(fd, st.st_uid, st.st_gid);  // keeps the owner where this user may
        ::fchmod(fd, st.st_mode & 07777);
    } else {
        ::fchmod(fd, NewFileMode());
    }
    if (!(m_file = ::fdopen(fd, "wb"))) {
        const int err = errno;
        ::close(fd);
        Abandon();
        Fail(path, "cannot write", err);
    }
}

OutputFile::~OutputFile() { Abandon(); }

void OutputFile::Close()
{
    if (m_file && m_file != stdout) std::fclose(m_file);
    m_file = nullptr;
}

void OutputFile::Commit()
{
    if (m_file == stdout) {
        m_file = nullptr;
        FlushStdoutOrThrow();
        return;
    }
    bool ok = m_file && std::fflush(m_file) == 0 && !std::ferror(m_file);
    if (ok && !m_temp.empty()) ok = ::fsync(::fileno(m_file)) == 0;
    int err = errno;
    ok = m_file && std::fclose(m_file) == 0 && ok;
    if (!ok && err == 0) err = errno;
    m_file = nullptr;
    if (ok && !m_temp.empty() && std::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        Abandon();
        Fail(m_path, "cannot write", err ? err : EIO);
    }
    UnregisterTemp(m_slot);
    m_slot = -1;
    m_temp.clear();
}

void OutputFile::Abandon()
{
    Close();
    if (!m_temp.empty()) ::unlink(m_temp.c_str());
    UnregisterTemp(m_slot);
    m_slot = -1;
    m_temp.clear();
}

void WriteOutputFile(const std::string& path, const std::string& bytes)
{
    OutputFile out(path);
    if (std::fwrite(bytes.data(), 1, bytes.size(), out.Stream()) != bytes.size()) {
        const int err = errno;
        out.Abandon();
        Fail(path == "-" ? "stdout" : path, "cannot write", err);
    }
    out.Commit();
}

void FlushStdoutOrThrow()
{
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int err = errno ? errno : EIO;
        std::clearerr(stdout);
        Fail("stdout", "cannot write", err);
    }
}

void RemoveTempFilesOnSignals()
{
    std::signal(SIGINT, RemoveTempsAndDie);
    std::signal(SIGTERM, RemoveTempsAndDie);
}
