#include "app/JobOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/Commands.h"

JobOutput::JobOutput(const std::string& path) : m_path(path)
{
    if (path == "-") {
        m_fd = STDOUT_FILENO;
        return;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        m_fd = ::open(path.c_str(), O_WRONLY);
        if (m_fd < 0) throw CommandError{path + ": cannot open: " + std::strerror(errno)};
        return;
    }
    m_temp = path + ".tmp." + std::to_string(::getpid());
    m_fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (m_fd < 0) throw CommandError{path + ": cannot write: " + std::strerror(errno)};
}

void JobOutput::Commit()
{
    if (m_temp.empty()) {
        if (m_fd != STDOUT_FILENO && m_fd >= 0 && ::close(m_fd) != 0)
            throw CommandError{m_path + ": cannot write: " + std::strerror(errno)};
        m_fd = -1;
        return;
    }
    const bool ok = ::fsync(m_fd) == 0 && ::close(m_fd) == 0;
    m_fd = -1;
    if (!ok || std::rename(m_temp.c_str(), m_path.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        Abandon();
        throw CommandError{m_path + ": cannot write: " + why};
    }
    m_temp.clear();
}

void JobOutput::Abandon()
{
    if (m_fd >= 0 && m_fd != STDOUT_FILENO) ::close(m_fd);
    m_fd = -1;
    if (!m_temp.empty()) std::remove(m_temp.c_str());
    m_temp.clear();
}
