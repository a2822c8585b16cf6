// The netpbm reader for ink planes.
#include "app/PlaneImage.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/JobRunner.h"

namespace {
// Largest plane side accepted, pixels: 10 m at 5760 dpi is about 2.3 million.
constexpr long kMaxSide = 4000000;
// Largest plane accepted, pixels (one byte each in memory).
constexpr long long kMaxPixels = 2000000000LL;
// A header (comments included) must end within this many bytes.
constexpr size_t kHeaderBytes = 1 << 16;

class Reader {
public:
    Reader(const std::string& bytes, const std::string& name) : m_s(bytes), m_name(name) {}

    bool Fail(const std::string& what)
    {
        m_error = m_name + ": " + what;
        return false;
    }
    // Skips blanks and '#' comments (which run to the end of the line).
    void SkipSpace()
    {
        while (m_pos < m_s.size()) {
            const char c = m_s[m_pos];
            if (c == '#') {
                while (m_pos < m_s.size() && m_s[m_pos] != '\n' && m_s[m_pos] != '\r') ++m_pos;
            } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') {
                ++m_pos;
            } else {
                return;
            }
        }
    }
    // A decimal number after optional space; false if none.
    bool Number(long* v, long limit)
    {
        SkipSpace();
        if (m_pos >= m_s.size() || m_s[m_pos] < '0' || m_s[m_pos] > '9') return false;
        long n = 0;
        while (m_pos < m_s.size() && m_s[m_pos] >= '0' && m_s[m_pos] <= '9') {
            n = n * 10 + (m_s[m_pos++] - '0');
            if (n > limit) {
                m_tooLarge = true;
                return false;
            }
        }
        *v = n;
        return true;
    }

    // The header up to the first data byte: *kind is '1', '2', '4' or '5'.
    bool Header(PlaneHeader* hd)
    {
        if (m_s.size() < 2 || m_s[0] != 'P') return Fail("not a netpbm file (expected P1, P2, P4 or P5 at byte 0)");
        const char kind = m_s[1];
        if (kind != '1' && kind != '2' && kind != '4' && kind != '5')
            return Fail(std::string("netpbm type P") + kind + " is not an ink plane (use PBM P4/P1 or PGM P5/P2)");
        m_pos = 2;
        long w = 0, h = 0, maxval = 1;
        if (!Number(&w, kMaxSide) || w < 1) return Fail(SideError("width"));
        if (!Number(&h, kMaxSide) || h < 1) return Fail(SideError("height"));
        if (static_cast<long long>(w) * h > kMaxPixels) return Fail("plane of " + std::to_string(w) + "x" + std::to_string(h) + " pixels is too large");
        const bool gray = kind == '2' || kind == '5';
        if (gray) {
            if (!Number(&maxval, 65535)) return Fail("bad or missing maxval in the header");
            if (maxval != 1 && maxval != 3)
                return Fail("maxval " + std::to_string(maxval) + " is not an ink level range (use 1 or 3)");
        }
        const bool binary = kind == '4' || kind == '5';
        if (binary) {
            // Exactly one blank ends the header.
            if (m_pos >= m_s.size()) return Fail("data missing after the header");
            ++m_pos;
        }
        hd->kind = kind;
        hd->width = static_cast<int>(w);
        hd->height = static_cast<int>(h);
        hd->maxval = static_cast<int>(maxval);
        hd->dataOffset = m_pos;
        return true;
    }

    bool Parse(PlaneImage* out)
    {
        PlaneHeader hd;
        if (!Header(&hd)) return false;
        const char kind = hd.kind;
        const long w = hd.width, h = hd.height, maxval = hd.maxval;
        out->width = static_cast<int>(w);
        out->height = static_cast<int>(h);
        out->maxval = static_cast<int>(maxval);
        out->pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
        uint8_t* px = out->pixels.data();
        if (kind == '4') {
            const size_t rowBytes = (static_cast<size_t>(w) + 7) / 8;
            for (long y = 0; y < h; ++y) {
                if (m_pos + rowBytes > m_s.size())
                    return Fail("data ends in row " + std::to_string(y + 1) + " of " + std::to_string(h));
                const unsigned char* row = reinterpret_cast<const unsigned char*>(m_s.data() + m_pos);
                for (long x = 0; x < w; ++x) px[y * w + x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
                m_pos += rowBytes;
            }
        } else if (kind == '5') {
            const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
            if (m_pos + n > m_s.size())
                return Fail("data ends in row " + std::to_string((m_s.size() - m_pos) / static_cast<size_t>(w) + 1) +
                            " of " + std::to_string(h));
            for (size_t i = 0; i < n; ++i) {
                const uint8_t v = static_cast<uint8_t>(m_s[m_pos + i]);
                if (v > maxval)
                    return Fail("value " + std::to_string(v) + " above maxval " + std::to_string(maxval) + " at row " +
                                std::to_string(i / static_cast<size_t>(w) + 1) + ", column " +
                                std::to_string(i % static_cast<size_t>(w) + 1));
                px[i] = v;
            }
        } else {
            for (long y = 0; y < h; ++y)
                for (long x = 0; x < w; ++x) {
                    long v = 0;
                    if (kind == '1') {
                        SkipSpace();
                        if (m_pos >= m_s.size() || (m_s[m_pos] != '0' && m_s[m_pos] != '1'))
                            return Fail("expected 0 or 1 at row " + std::to_string(y + 1) + ", column " + std::to_string(x + 1));
                        v = m_s[m_pos++] - '0';
                    } else if (!Number(&v, 65535) || v > maxval) {
                        return Fail("expected a value 0.." + std::to_string(maxval) + " at row " + std::to_string(y + 1) +
                                    ", column " + std::to_string(x + 1));
                    }
                    px[y * w + x] = static_cast<uint8_t>(v);
                }
        }
        return true;
    }
    const std::string& Error() const { return m_error; }

private:
    std::string SideError(const char* what) const
    {
        return m_tooLarge ? std::string(what) + " larger than " + std::to_string(kMaxSide) + " pixels in the header"
                          : std::string("bad or missing ") + what + " in the header";
    }
    const std::string& m_s;
    std::string m_name;
    size_t m_pos = 0;
    bool m_tooLarge = false;
    std::string m_error;
};
}  // namespace

bool ParsePlaneImage(const std::string& bytes, const std::string& name, PlaneImage* out, std::string* error)
{
    Reader r(bytes, name);
    if (r.Parse(out)) return true;
    if (error) *error = r.Error();
    *out = PlaneImage();
    return false;
}

bool ReadPlaneImage(const std::string& path, PlaneImage* out, std::string* error)
{
    PlaneFile file;
    std::string bytes;
    if (!file.Open(path, error) || !file.ReadRest(&bytes, error)) return false;
    return ParsePlaneImage(bytes, path, out, error);
}

PlaneFile::~PlaneFile()
{
    if (m_file) std::fclose(m_file);
}

bool PlaneFile::Fail(const std::string& what, std::string* error)
{
    if (error) *error = m_path + ": " + what;
    return false;
}

bool PlaneFile::Open(const std::string& path, std::string* error)
{
    m_path = path;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return Fail(std::string("cannot read: ") + std::strerror(errno), error);
    if (S_ISDIR(st.st_mode)) return Fail("is a folder, not a plane file", error);
    m_fileBytes = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
    m_file = std::fopen(path.c_str(), "rb");
    if (!m_file) return Fail(std::string("cannot read: ") + std::strerror(errno), error);
    m_prefix.resize(kHeaderBytes);
    m_prefix.resize(std::fread(m_prefix.data(), 1, kHeaderBytes, m_file));
    if (std::ferror(m_file)) return Fail(std::string("cannot read: ") + std::strerror(errno), error);
    Reader r(m_prefix, path);
    if (!r.Header(&m_header)) {
        if (error) *error = r.Error();
        return false;
    }
    // The data the header announces must be in the file before anything is allocated for it.
    const uint64_t pixels = static_cast<uint64_t>(m_header.width) * static_cast<uint64_t>(m_header.height);
    const uint64_t rowBytes = m_header.kind == '4' ? (static_cast<uint64_t>(m_header.width) + 7) / 8 : m_header.width;
    const uint64_t least = m_header.kind == '1' ? pixels : m_header.kind == '2' ? 2 * pixels - 1 : rowBytes * m_header.height;
    if (m_fileBytes && m_fileBytes - m_header.dataOffset < least)
        return Fail("the header announces " + std::to_string(m_header.width) + "x" + std::to_string(m_header.height) +
                        " pixels, but the file holds " + std::to_string(m_fileBytes) + " bytes",
                    error);
    return true;
}

bool PlaneFile::ReadRest(std::string* bytes, std::string* error)
{
    *bytes = m_prefix;
    char buffer[1 << 16];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, m_file)) > 0) bytes->append(buffer, n);
    if (std::ferror(m_file)) return Fail(std::string("cannot read: ") + std::strerror(errno), error);
    return true;
}

bool PlaneFile::ReadPacked(int bits, int color, JobPlane* out, std::string* error)
{
    const PlaneHeader& hd = m_header;
    if (hd.kind == '1' || hd.kind == '2') {
        std::string bytes;
        PlaneImage image;
        if (!ReadRest(&bytes, error) || !ParsePlaneImage(bytes, m_path, &image, error)) return false;
        if (PackPlane(image, bits, color, out, error)) return true;
        return Fail(*error, error);
    }
    // Binary planes stream row by row into the packed plane: only the packed form is held.
    StartPlane(hd.width, hd.height, bits, color, out);
    const size_t fileRow = hd.kind == '4' ? (static_cast<size_t>(hd.width) + 7) / 8 : static_cast<size_t>(hd.width);
    std::vector<uint8_t> raw(fileRow), values(static_cast<size_t>(hd.width));
    size_t pos = hd.dataOffset;
    for (int y = 0; y < hd.height; ++y) {
        size_t got = 0;
        if (pos < m_prefix.size()) {
            got = std::min(fileRow, m_prefix.size() - pos);
            std::memcpy(raw.data(), m_prefix.data() + pos, got);
            pos += got;
        }
        got += std::fread(raw.data() + got, 1, fileRow - got, m_file);
        if (got < fileRow) return Fail("data ends in row " + std::to_string(y + 1) + " of " + std::to_string(hd.height), error);
        for (int x = 0; x < hd.width; ++x) {
            values[x] = hd.kind == '4' ? (raw[x >> 3] >> (7 - (x & 7))) & 1 : raw[x];
            if (values[x] > hd.maxval)
                return Fail("value " + std::to_string(values[x]) + " above maxval " + std::to_string(hd.maxval) +
                                " at row " + std::to_string(y + 1) + ", column " + std::to_string(x + 1),
                            error);
        }
        if (!PackRow(values.data(), hd.width, bits, y, out->packed.data() + static_cast<size_t>(y) * out->rowBytes, error))
            return Fail(*error, error);
    }
    return true;
}
