#include "app/SavedPlanes.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/Commands.h"

SavedPlanes::SavedPlanes(const std::string& dir, const std::vector<std::string>& inkNames, int width, int height,
                         int bits, rip::RowSink& next)
    : m_row(static_cast<size_t>(width)), m_width(width), m_bits(bits), m_next(next)
{
    for (size_t i = 0; i < inkNames.size(); ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/%02zu-%s.pgm", i + 1, inkNames[i].c_str());
        File file;
        file.path = dir + name;
        file.temp = file.path + ".tmp." + std::to_string(::getpid());
        file.f = std::fopen(file.temp.c_str(), "wb");
        if (!file.f) throw CommandError{file.path + ": cannot write: " + std::strerror(errno)};
        std::fprintf(file.f, "P5\n%d %d\n3\n", width, height);
        m_files.push_back(file);
    }
}

SavedPlanes::~SavedPlanes()
{
    for (File& f : m_files)
        if (f.f) {
            std::fclose(f.f);
            std::remove(f.temp.c_str());
        }
}

bool SavedPlanes::DataRow(const uint8_t* const* planes)
{
    const int perByte = 8 / m_bits, mask = (1 << m_bits) - 1;
    for (size_t i = 0; i < m_files.size(); ++i) {
        for (int x = 0; x < m_width; ++x)
            m_row[static_cast<size_t>(x)] =
                static_cast<uint8_t>((planes[i][x / perByte] >> (8 - (x % perByte + 1) * m_bits)) & mask);
        std::fwrite(m_row.data(), 1, m_row.size(), m_files[i].f);
    }
    return m_next.DataRow(planes);
}

bool SavedPlanes::EmptyRows(int count)
{
    std::fill(m_row.begin(), m_row.end(), 0);
    for (File& f : m_files)
        for (int r = 0; r < count; ++r) std::fwrite(m_row.data(), 1, m_row.size(), f.f);
    return m_next.EmptyRows(count);
}

void SavedPlanes::Commit()
{
    for (File& f : m_files) {
        const bool ok = std::ferror(f.f) == 0 && std::fclose(f.f) == 0;
        f.f = nullptr;
        if (!ok || std::rename(f.temp.c_str(), f.path.c_str()) != 0)
            throw CommandError{f.path + ": cannot write: " + std::strerror(errno)};
    }
}
