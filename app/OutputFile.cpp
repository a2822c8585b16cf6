// Whole-file output for the commands.
#include "app/OutputFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/Commands.h"

void WriteOutputFile(const std::string& path, const std::string& bytes)
{
    if (path == "-") {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
            throw CommandError{"stdout: cannot write: " + std::string(std::strerror(errno))};
        return;
    }
    const std::string temp = path + ".tmp." + std::to_string(::getpid());
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) throw CommandError{path + ": cannot write: " + std::strerror(errno)};
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = ok && std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
    ok = (std::fclose(f) == 0) && ok;
    const int err = errno;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        const std::string why = std::strerror(ok ? errno : err);
        std::remove(temp.c_str());
        throw CommandError{path + ": cannot write: " + why};
    }
}
