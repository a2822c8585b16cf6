// The netpbm reader for ink planes.
#include "app/PlaneImage.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {
// Largest plane side accepted, pixels: 10 m at 5760 dpi is about 2.3 million.
constexpr long kMaxSide = 4000000;
// Largest plane accepted, pixels (one byte each in memory).
constexpr long long kMaxPixels = 2000000000LL;

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
            if (n > limit) return false;
        }
        *v = n;
        return true;
    }

    bool Parse(PlaneImage* out)
    {
        if (m_s.size() < 2 || m_s[0] != 'P') return Fail("not a netpbm file (expected P1, P2, P4 or P5 at byte 0)");
        const char kind = m_s[1];
        if (kind != '1' && kind != '2' && kind != '4' && kind != '5')
            return Fail(std::string("netpbm type P") + kind + " is not an ink plane (use PBM P4/P1 or PGM P5/P2)");
        m_pos = 2;
        long w = 0, h = 0, maxval = 1;
        if (!Number(&w, kMaxSide) || w < 1) return Fail("bad or missing width in the header");
        if (!Number(&h, kMaxSide) || h < 1) return Fail("bad or missing height in the header");
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
    const std::string& m_s;
    std::string m_name;
    size_t m_pos = 0;
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
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = path + ": cannot read: " + std::strerror(errno);
        return false;
    }
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) {
        if (error) *error = path + ": cannot read";
        return false;
    }
    return ParsePlaneImage(ss.str(), path, out, error);
}
