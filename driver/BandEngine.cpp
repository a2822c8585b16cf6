// The band engine: band set-up, empty rows, loading pixels, printing and shifting bands.
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "devparms/CEpsonRPhotoDevParmsBase.h"
#include "devparms/PrintMethodParms.h"
#include "driver/CEpsonRPhotoBase.h"
#include "host/Os.h"
#include "host/Platform.h"

namespace {
// Field 7 of the print method's parameter string: every set pixel prints as value 1.
int ReadSingleDotSizeFlag(const CPrintEnv* env)
{
    CStringList fields;
    ReadPrintMethodFields(env, &fields);
    return fields.GetCount() >= 7 && Atoi(fields.GetAt(6)) != 0 ? 1 : 0;
}

// The pixels of horizontal pass h (of 2) in eight source bytes, as four pass bytes in the low
// half: the same as the load table, by shifts and masks on the whole word (little-endian).
uint64_t HalfPassBytes(uint64_t w, int h, int bpp, int singleDot)
{
    constexpr uint64_t k55 = 0x5555555555555555ull, k33 = 0x3333333333333333ull, k0F = 0x0F0F0F0F0F0F0F0Full;
    uint64_t t;
    if (bpp == 2) {
        if (singleDot) w = ((w >> 1) | w) & k55;  // any set level becomes 1
        t = (h ? w : w >> 2) & k33;               // the pass's two pixels of each byte
        t = (t | (t >> 2)) & k0F;                 // side by side in the byte's low nibble
    } else {
        t = (h ? w : w >> 1) & k55;
        t = (t | (t >> 1)) & k33;
        t = (t | (t >> 2)) & k0F;
    }
    t = ((t << 4) | (t >> 8)) & 0x00FF00FF00FF00FFull;  // byte pairs: first source byte high
    t = (t | (t >> 8)) & 0x0000FFFF0000FFFFull;
    return (t | (t >> 16)) & 0xFFFFFFFFull;
}

// A 4 x 4 matrix of two-bit fields, row r in byte r (little-endian), transposed by swapping
// its off-diagonal 2 x 2 blocks, then the off-diagonal fields of each block.
uint32_t Transpose2Bit(uint32_t w)
{
    uint32_t t = (w ^ (w >> 20)) & 0x00000F0Fu;
    w ^= t ^ (t << 20);
    t = (w ^ (w >> 10)) & 0x00330033u;
    return w ^ t ^ (t << 10);
}

// Pass byte of pass h of eight at 2 bits from the eight source bytes at w: pixel h % 4 of the
// bytes h / 4, h / 4 + 2, h / 4 + 4 and h / 4 + 6.
unsigned EighthPassByte(uint64_t w, int h, int singleDot)
{
    if (singleDot) w = ((w >> 1) | w) & 0x5555555555555555ull;  // any set level becomes 1
    if (h >= 4) w >>= 8;
    w &= 0x00FF00FF00FF00FFull;  // the bytes of this parity, gathered into 32 bits
    w = (w | (w >> 8)) & 0x0000FFFF0000FFFFull;
    w = (w | (w >> 16)) & 0xFFFFFFFFull;
    return (Transpose2Bit(static_cast<uint32_t>(w)) >> (8 * (h % 4))) & 0xFFu;
}

#ifdef __SSE2__
// HalfPassBytes on 32 source bytes at once: 16 pass bytes. The 16-bit shifts carry bits into
// the byte below, where the masks drop them.
template <int Bpp, bool SingleDot, int H>
inline __attribute__((always_inline)) __m128i HalfPassBytes32(const unsigned char* src)
{
    const __m128i k55 = _mm_set1_epi8(0x55), k33 = _mm_set1_epi8(0x33), k0F = _mm_set1_epi8(0x0F);
    __m128i pairs[2];
    for (int half = 0; half < 2; ++half) {
        __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16 * half)), t;
        if constexpr (Bpp == 2) {
            if constexpr (SingleDot) w = _mm_and_si128(_mm_or_si128(_mm_srli_epi16(w, 1), w), k55);
            t = _mm_and_si128(H ? w : _mm_srli_epi16(w, 2), k33);
            t = _mm_and_si128(_mm_or_si128(t, _mm_srli_epi16(t, 2)), k0F);
        } else {
            t = _mm_and_si128(H ? w : _mm_srli_epi16(w, 1), k55);
            t = _mm_and_si128(_mm_or_si128(t, _mm_srli_epi16(t, 1)), k33);
            t = _mm_and_si128(_mm_or_si128(t, _mm_srli_epi16(t, 2)), k0F);
        }
        // Each 16-bit lane holds the nibbles of a byte pair: first source byte high.
        pairs[half] = _mm_and_si128(_mm_or_si128(_mm_slli_epi16(t, 4), _mm_srli_epi16(t, 8)), _mm_set1_epi16(0xFF));
    }
    return _mm_packus_epi16(pairs[0], pairs[1]);
}

// ORs pass h's bytes of the first 16 x (pairs / 16) source byte pairs into dst, asking for the
// bytes at `next` as it goes; returns how many it did.
template <int Bpp, bool SingleDot, int H>
int OrHalfPass(unsigned char* dst, const unsigned char* src, int pairs, const unsigned char* next, __m128i keep)
{
    int i = 0;
    for (; i + 16 <= pairs; i += 16) {
        if ((i & 63) == 0) __builtin_prefetch(next + i, 1);
        const __m128i d = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i)), keep);
        const __m128i v = HalfPassBytes32<Bpp, SingleDot, H>(src + 2 * i);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_or_si128(d, v));
    }
    return i;
}

// The kernel for this pass, depth and dot mode; `overwrite` when dst holds nothing to keep.
int OrHalfPass(unsigned char* dst, const unsigned char* src, int pairs, const unsigned char* next, int h, int bpp,
               int singleDot, bool overwrite)
{
    using Kernel = int (*)(unsigned char*, const unsigned char*, int, const unsigned char*, __m128i);
    static constexpr Kernel kKernels[2][2][2] = {
        {{OrHalfPass<1, false, 0>, OrHalfPass<1, false, 1>}, {OrHalfPass<1, true, 0>, OrHalfPass<1, true, 1>}},
        {{OrHalfPass<2, false, 0>, OrHalfPass<2, false, 1>}, {OrHalfPass<2, true, 0>, OrHalfPass<2, true, 1>}}};
    const __m128i keep = overwrite ? _mm_setzero_si128() : _mm_set1_epi8(-1);
    return kKernels[bpp == 2][singleDot != 0 && bpp == 2][h != 0](dst, src, pairs, next, keep);
}

// EighthPassByte on 128 source bytes at once: 16 pass bytes. Each 32-bit lane takes four bytes of
// pass H's parity; pixel H % 4 of its byte i goes to bits 7 - 2i and 6 - 2i of the lane's low byte.
template <int H, bool SingleDot>
inline __attribute__((always_inline)) __m128i EighthPassBytes128(const unsigned char* src)
{
    constexpr int q = H % 4;
    __m128i words[4];
    for (int k = 0; k < 4; ++k) {
        __m128i parity[2];
        for (int half = 0; half < 2; ++half) {
            __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 32 * k + 16 * half));
            if constexpr (SingleDot) w = _mm_and_si128(_mm_or_si128(_mm_srli_epi16(w, 1), w), _mm_set1_epi8(0x55));
            parity[half] = H >= 4 ? _mm_srli_epi16(w, 8) : _mm_and_si128(w, _mm_set1_epi16(0xFF));
        }
        const __m128i w = _mm_packus_epi16(parity[0], parity[1]);
        words[k] = _mm_or_si128(
            _mm_or_si128(_mm_and_si128(_mm_slli_epi32(w, 2 * q), _mm_set1_epi32(0xC0)),
                         _mm_and_si128(_mm_srli_epi32(w, 10 - 2 * q), _mm_set1_epi32(0x30))),
            _mm_or_si128(_mm_and_si128(_mm_srli_epi32(w, 20 - 2 * q), _mm_set1_epi32(0x0C)),
                         _mm_and_si128(_mm_srli_epi32(w, 30 - 2 * q), _mm_set1_epi32(0x03))));
    }
    return _mm_packus_epi16(_mm_packs_epi32(words[0], words[1]), _mm_packs_epi32(words[2], words[3]));
}

// ORs pass H's bytes into dst, 16 pass bytes (from 128 source bytes) a step, while whole steps
// fit in the row; returns how many it did.
template <int H, bool SingleDot>
int OrEighthPass(unsigned char* dst, const unsigned char* src, int rowBytes, __m128i keep)
{
    int i = 0;
    for (; 8 * i + 128 <= rowBytes; i += 16) {
        const __m128i d = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i)), keep);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_or_si128(d, EighthPassBytes128<H, SingleDot>(src + 8 * i)));
    }
    return i;
}

// The kernel for pass h of eight at 2 bits; `overwrite` when dst holds nothing to keep.
int OrEighthPass(unsigned char* dst, const unsigned char* src, int rowBytes, int h, int singleDot, bool overwrite)
{
    using Kernel = int (*)(unsigned char*, const unsigned char*, int, __m128i);
    static constexpr Kernel kKernels[2][8] = {
        {OrEighthPass<0, false>, OrEighthPass<1, false>, OrEighthPass<2, false>, OrEighthPass<3, false>,
         OrEighthPass<4, false>, OrEighthPass<5, false>, OrEighthPass<6, false>, OrEighthPass<7, false>},
        {OrEighthPass<0, true>, OrEighthPass<1, true>, OrEighthPass<2, true>, OrEighthPass<3, true>,
         OrEighthPass<4, true>, OrEighthPass<5, true>, OrEighthPass<6, true>, OrEighthPass<7, true>}};
    const __m128i keep = overwrite ? _mm_setzero_si128() : _mm_set1_epi8(-1);
    return kKernels[singleDot != 0][h & 7](dst, src, rowBytes, keep);
}
#endif
}  // namespace

void CEpsonRPhotoBase::InitBands()
{
    if (m_nPixelBits <= 1) {
        m_nPixelsPerByte = 8, m_nBitsPerPixel = 1, m_nByteShift = 3, m_nPixelIndexMask = 7, m_nPixelMask = 1;
    } else {
        m_nPixelsPerByte = 4, m_nBitsPerPixel = 2, m_nByteShift = 2, m_nPixelIndexMask = 3, m_nPixelMask = 3;
    }
    m_nPendingAdvance = 0;
    m_nPendingEmptyRows = 0;
    m_nAdvancedRows = 0;
    m_nRescueBlocks = 0;

    auto* parms = static_cast<CEpsonRPhotoDevParmsBase*>(m_pDevParms);
    m_bBandAllocFailed = 0;
    if (parms) {
        m_nHPasses = static_cast<int>(m_dResX / parms->dNozzleResH + 0.5);
        m_nVPasses = static_cast<int>(m_dResY / parms->dNozzleResV + 0.5);
        m_bEnableWeave = parms->bEnableWeave;
        m_bEnableBrokenNozzles = parms->bEnableBrokenNozzles;
        for (int k = 0; k < kNozzles; ++k) m_abBrokenNozzle[k] = parms->bBrokenNozzle[k];
    }
    // A resolution that yields no pass, or a band beyond 32-bit sizes, cannot be printed.
    const bool usable = parms && m_nHPasses >= 1 && m_nVPasses >= 1 && m_nVPasses <= INT_MAX / kNozzles;
    if (!usable) m_nHPasses = m_nVPasses = 1;
    const int hp = m_nHPasses, vp = m_nVPasses;

    m_nColors = GetCountPrimCols();
    m_nRowBytes = m_nBytesPerRow;
    m_nPassRowBytes = (m_nRowBytes + hp - 1) / hp;
    m_nDataOffset = 0;
    m_nBandRows = 0;
    m_nLoadedRows = 0;
    m_nHorizPos = 0;
    m_nDataBytes = m_nPassRowBytes;
    const long long planeBytes = 180LL * m_nPassRowBytes;
    const long long passBytes = planeBytes * m_nColors;
    const long long bandBufSize = passBytes * vp * hp;
    const bool fits = usable && bandBufSize <= INT_MAX && planeBytes + planeBytes / 127 + 4 <= INT_MAX;
    m_nPlaneBytes = fits ? static_cast<int>(planeBytes) : 0;
    m_nPassBytes = fits ? static_cast<int>(passBytes) : 0;
    m_nBandBufSize = fits ? static_cast<int>(bandBufSize) : 0;
    m_nBandLines = kNozzles * vp;

    ReleaseBuffers();  // an output that was never ended
    m_bBandAllocFailed = fits ? 0 : 1;
    if (fits) {
        // Zeroed by the allocator: a large band comes as fresh pages, with no pass to clear it.
        m_nBandAllocBytes = static_cast<size_t>(m_nBandBufSize);
        m_pBandBuf = static_cast<unsigned char*>(os::AllocZeroed(m_nBandAllocBytes));
        bool flags = true;
        try {
            m_lineInk.assign(static_cast<size_t>(hp) * static_cast<size_t>(m_nColors) * static_cast<size_t>(m_nBandLines), 0);
        } catch (const std::bad_alloc&) {
            flags = false;
        }
        if (!m_pBandBuf || !flags) m_bBandAllocFailed = 1;
    }
    m_nPackBufSize = m_nPlaneBytes + m_nPlaneBytes / 127 + 4;
    m_nBandCount = 0;
    UpdateWeave(1);
    m_dwDriverTime = m_dwTotalTime = m_dwPortTime = m_dwSelectTime = m_dwLoadTime = 0;
    m_bCompress = m_nCompression == 1 ? 1 : 0;
    if (m_bCompress && !m_bBandAllocFailed) {
        m_pPackBuf = new (std::nothrow) unsigned char[m_nPackBufSize];
        if (m_pPackBuf)
            std::memset(m_pPackBuf, 0, static_cast<size_t>(m_nPackBufSize));
        else
            m_bBandAllocFailed = 1;
    }
    m_bSingleDotSize = ReadSingleDotSizeFlag(m_pPrintEnv);
    m_bPackPerLine = m_pPrintEnv ? m_pPrintEnv->GetInt("PackBitsPerLine", 0) : 0;
    m_bBackgroundOutput = m_pPrintEnv ? m_pPrintEnv->GetInt("BackgroundOutput", 1) : 1;
    m_nBandBase = 0;
    // One band of blocks may wait for the worker in the steady weave: enough for the worker to
    // compress a band while the next one loads; more only spreads the passes over cold memory.
    const int slots = m_nHPasses * m_nColors > 2 ? m_nHPasses * m_nColors : 2;
    if (!m_bBandAllocFailed && !m_output.Start(static_cast<size_t>(m_nPlaneBytes), slots, m_bBackgroundOutput != 0))
        m_bBandAllocFailed = 1;
    SetupLoadTables();
    m_bBandsReady = 1;
    m_bOutputEnded = 0;
}

int CEpsonRPhotoBase::OutputEmptyRows(int nRows)
{
    if (nRows <= 0) return 1;
    const uint32_t t0 = TraceTicks();
    if (!m_bBandsReady) InitBands();
    int result;
    if (m_bBandAllocFailed || m_output.Failed()) {
        result = 0;
    } else {
        m_nPendingEmptyRows += nRows;
        if (m_bOutputEnded) {
            result = FlushBands(1) ? 1 : 0;
        } else if (m_nBandRows + m_nPendingEmptyRows < m_nBandLines) {
            if (m_nBandRows == m_nLeadingEmptyRows) m_nLeadingEmptyRows += m_nPendingEmptyRows;
            m_nBandRows += m_nPendingEmptyRows;
            m_nPendingEmptyRows = 0;
            result = 1;
        } else {
            result = FlushBands(0) ? 1 : 0;
        }
    }
    if (m_bTraceRealTime) m_dwDriverTime += GetTickCount() - t0;
    return result;
}

void CEpsonRPhotoBase::SetupLoadTables()
{
    const int hp = m_nHPasses;
    m_nLoadTableHp = 0;
    if (hp > 8 || m_nPixelsPerByte % hp != 0) return;  // the per-pixel path serves
    const int perByte = m_nPixelsPerByte / hp;  // pixels of one source byte in one pass
    const int bpp = m_nBitsPerPixel;
    for (int h = 0; h < hp; ++h)
        for (int b = 0; b < 256; ++b) {
            unsigned value = 0;
            for (int t = 0; t < perByte; ++t) {
                const int q = h + t * hp;  // pixel place in the source byte
                unsigned v = (static_cast<unsigned>(b) >> (8 - (q + 1) * bpp)) & static_cast<unsigned>(m_nPixelMask);
                if (v && m_bSingleDotSize) v = 1;
                value |= v << ((perByte - 1 - t) * bpp);
            }
            m_loadTable[h][b] = static_cast<unsigned char>(value);
        }
    m_nLoadTableHp = hp;
    m_nLoadTableBits = bpp;
    m_bLoadTableSingleDot = m_bSingleDotSize;
}

void CEpsonRPhotoBase::LoadRowPixels(const unsigned char* pRow, int nColor, int nVPass, int nHPass)
{
    const uint32_t t0 = TraceTicks();
    unsigned char* dst = GetBandRowPtr(m_nBandRows / m_nVPasses, nVPass, nHPass, nColor, m_nPassRowBytes);
    const int line = nVPass + m_nBandRows / m_nVPasses * m_nVPasses;
    unsigned char* ink = LineInk(line, nHPass, nColor);
    const bool spent = ink && *ink == kLineSpent;  // bytes left over: written, not ORed, below
    if (ink) *ink = kLineInked;
    const int hp = m_nHPasses;
    const bool tabled = m_nLoadTableHp == hp && m_nLoadTableBits == m_nBitsPerPixel && m_bLoadTableSingleDot == m_bSingleDotSize;
    // The 16-byte kernels (two passes, and eight passes at 2 bits) write over a spent line themselves.
    const bool wide = tabled ? hp == 2 : hp == 8 && m_nBitsPerPixel == 2;
    if (spent && !wide) std::memset(dst, 0, static_cast<size_t>(m_nPassRowBytes));
    if (tabled) {
        // Each source byte gives this pass 8 / hp bits; hp source bytes make one pass byte.
        const int bitsPerSource = 8 / hp;
        const unsigned char* table = m_loadTable[nHPass];
        if (hp == 1) {
            for (int i = 0; i < m_nRowBytes; ++i) dst[i] = static_cast<unsigned char>(dst[i] | table[pRow[i]]);
        } else if (hp == 2) {
            const int pairs = m_nRowBytes / 2;
            int i = 0;
#ifdef __SSE2__
            // The band line of the next row, asked for while this one fills: band lines are far
            // apart and mostly out of cache, too far apart for the hardware to see a stream.
            const unsigned char* next = line + 1 < m_nBandLines ? GetBandLinePtr(line + 1, nHPass, nColor, 0) : dst;
            i = OrHalfPass(dst, pRow, pairs, next, nHPass, m_nBitsPerPixel, m_bSingleDotSize, spent);
#endif
            if (spent) std::memset(dst + i, 0, static_cast<size_t>(m_nPassRowBytes - i));
            for (; i + 4 <= pairs; i += 4) {
                uint64_t w, d;
                std::memcpy(&w, pRow + 2 * i, 8);
                std::memcpy(&d, dst + i, 4);
                d |= HalfPassBytes(w, nHPass, m_nBitsPerPixel, m_bSingleDotSize);
                std::memcpy(dst + i, &d, 4);
            }
            for (; i < pairs; ++i)
                dst[i] = static_cast<unsigned char>(dst[i] | (table[pRow[2 * i]] << 4) | table[pRow[2 * i + 1]]);
            if (m_nRowBytes & 1) dst[pairs] = static_cast<unsigned char>(dst[pairs] | (table[pRow[2 * pairs]] << 4));
        } else {
            for (int i = 0; i < m_nPassRowBytes; ++i) {
                const int first = i * hp;
                const int count = m_nRowBytes - first < hp ? m_nRowBytes - first : hp;
                unsigned acc = 0;
                for (int s = 0; s < count; ++s)
                    acc |= static_cast<unsigned>(table[pRow[first + s]]) << (8 - (s + 1) * bitsPerSource);
                dst[i] = static_cast<unsigned char>(dst[i] | acc);
            }
        }
    } else if (hp % m_nPixelsPerByte == 0) {
        // Each source byte `stride` apart gives this pass one pixel, always at the same place.
        const int bpp = m_nBitsPerPixel, perByte = m_nPixelsPerByte, stride = hp / perByte;
        const int shift = 8 - (nHPass % perByte + 1) * bpp;
        const unsigned mask = static_cast<unsigned>(m_nPixelMask);
        int start = 0;
        if (bpp == 2 && stride == 2) {
#ifdef __SSE2__
            start = OrEighthPass(dst, pRow, m_nRowBytes, nHPass, m_bSingleDotSize, spent);
#endif
            if (spent) std::memset(dst + start, 0, static_cast<size_t>(m_nPassRowBytes - start));
            for (; 8 * start + 8 <= m_nRowBytes; ++start) {
                uint64_t w;
                std::memcpy(&w, pRow + 8 * start, 8);
                dst[start] = static_cast<unsigned char>(dst[start] | EighthPassByte(w, nHPass, m_bSingleDotSize));
            }
        }
        for (int i = start, at = nHPass / perByte + start * perByte * stride; i < m_nPassRowBytes; ++i) {
            unsigned acc = 0;
            for (int t = 0; t < perByte && at < m_nRowBytes; ++t, at += stride) {
                unsigned v = (static_cast<unsigned>(pRow[at]) >> shift) & mask;
                if (m_bSingleDotSize && v) v = 1;
                acc |= v << (8 - (t + 1) * bpp);
            }
            dst[i] = static_cast<unsigned char>(dst[i] | acc);
        }
    } else {
        const int bpp = m_nBitsPerPixel;
        const int pixels = m_nRowBytes * m_nPixelsPerByte;
        for (int i = 0, x = nHPass; x < pixels; ++i, x += hp) {
            unsigned v = (pRow[x >> m_nByteShift] >> (8 - ((x & m_nPixelIndexMask) + 1) * bpp)) &
                         static_cast<unsigned>(m_nPixelMask);
            if (!v) continue;
            if (m_bSingleDotSize) v = 1;
            dst[i >> m_nByteShift] = static_cast<unsigned char>(dst[i >> m_nByteShift] |
                                                                (v << (8 - ((i & m_nPixelIndexMask) + 1) * bpp)));
        }
    }
    if (m_bTraceRealTime) m_dwLoadTime += GetTickCount() - t0;
}

int CEpsonRPhotoBase::OutputBand()
{
    if (m_nBandRows == 0) return 1;
    if (m_bBandAllocFailed) return 0;
    const int vp = m_nVPasses;
    const int size = m_nPassRowBytes * ((m_nBandRows + vp - 1) / vp);
    const int passes = weave::PassesPerBand(m_bEnableWeave, m_nWeaveState, vp, m_nFirstBandFactor,
                                            m_nLeadingEmptyRows, m_nBandLines);
    const int mark = m_nAdvancedRows + m_nPendingAdvance;
    // The advance below drops lines 0..feed-1: whatever ink they still hold is printed first.
    const int feed = weave::BandFeed(m_nFeed, vp, m_nBandCount, m_nBandRows);
    struct InBand {
        int& flag;
        explicit InBand(int& f) : flag(f) { flag = 1; }
        ~InBand() { flag = 0; }
    } inBand(m_bInBand);
    if (m_nLoadedRows > 0) {
        for (int p = 0; p < vp; ++p) {
            if (p < passes) {
                for (int h = 0; h < m_nHPasses; ++h)
                    for (int c = 0; c < m_nColors; ++c) {
                        unsigned char* pass = m_output.Buffer(static_cast<size_t>(size));
                        SelectPassPixels(pass, p, h, c, size);
                        if (m_bBandAllocFailed) return 0;
                        if (m_nDataBytes > 0) {
                            const int rows = m_nBandRows / vp + (vp * (m_nBandRows / vp) + p < m_nBandRows ? 1 : 0);
                            if (!OutputRasterPass(p, h, c, pass, rows, m_nDataBytes)) return 0;
                        }
                        JobSection(nullptr, 0);
                    }
            }
            const int leaving = weave::RescueRows(feed, p, vp);
            if (leaving > 0 && LeavingRowsHoldInk(p, leaving) && !OutputRescuePass(p, leaving)) return 0;
            // The next interleave pass prints one line lower. After the last printed pass the
            // raise is only carried by a rescue block; otherwise the advance's mark absorbs it.
            m_nPendingAdvance += 1;
        }
    }
    AdvanceBand(mark);
    UpdateWeave(0);
    return 1;
}

void CEpsonRPhotoBase::AdvanceBand(int nAdvanceMark)
{
    const int vp = m_nVPasses;
    const int feed = weave::BandFeed(m_nFeed, vp, m_nBandCount, m_nBandRows);
    m_nPendingAdvance = feed - m_nAdvancedRows + nAdvanceMark;
    auto drop = [feed](int& n) { n = n > feed ? n - feed : 0; };
    drop(m_nBandRows);
    drop(m_nLoadedRows);
    drop(m_nLeadingEmptyRows);

    // Line L takes line L + feed by turning the ring; the lines that leave come back at the
    // band's end holding no ink (lines beyond the held ones never do).
    if (m_pBandBuf && m_nBandLines > 0) {
        for (int line = 0; line < feed; ++line)
            for (int h = 0; h < m_nHPasses; ++h)
                for (int c = 0; c < m_nColors; ++c) {
                    unsigned char* ink = LineInk(line, h, c);
                    if (!ink) std::memset(GetBandLinePtr(line, h, c, 0), 0, static_cast<size_t>(m_nPassRowBytes));
                    else if (*ink == kLineInked) *ink = kLineSpent;
                }
        m_nBandBase = (m_nBandBase + feed) % m_nBandLines;
    }
    m_nBandCount += 1;
}

int CEpsonRPhotoBase::FlushBands(int bFinal)
{
    if (m_bBandAllocFailed || m_output.Failed()) return 0;
    int ok = 1;
    {
        CEpsonCommandsAddClass cmds;
        if (!OutputVertAdvance(cmds, 1)) return 0;
    }
    for (;;) {
        const bool more = bFinal ? (m_nBandRows > 0 || (m_bOutputEnded && m_nPendingEmptyRows > 0))
                                 : m_nPendingEmptyRows > 0;
        if (!more || m_bBandAllocFailed || !ok) break;
        const int e = m_nPendingEmptyRows;
        if (e > 0) {
            const int d = m_nBandRows;
            if (e + d < m_nBandLines) {
                if (d == 0) m_nLeadingEmptyRows = e - 1;
                m_nPendingEmptyRows = 0;
                m_nBandRows = e + d;
            } else {
                // The band is filled to one line short of full.
                if (d == 0) m_nLeadingEmptyRows = m_nBandLines - 2;
                m_nPendingEmptyRows = e + d + 1 - m_nBandLines;
                m_nBandRows = m_nBandLines - 1;
            }
        }
        if (ok == 1) ok = OutputBand() ? 1 : 0;
    }
    if (m_bBandAllocFailed) return 0;
    if (!ok) return 0;
    if (bFinal) {
        CEpsonCommandsAddClass cmds;
        if (!OutputVertAdvance(cmds, 1)) return 0;
        if (m_bEnableWeave) UpdateWeave(1);
    }
    return ok;
}

unsigned char* CEpsonRPhotoBase::GetBandRowPtr(int nRow, int nVPass, int nHPass, int nColor, int nSize)
{
    return GetBandLinePtr(nVPass + nRow * m_nVPasses, nHPass, nColor, nSize);
}

unsigned char* CEpsonRPhotoBase::GetBandLinePtr(int nLine, int nHPass, int nColor, int)
{
    const int ring = (m_nBandBase + nLine) % m_nBandLines;
    const size_t plane = static_cast<size_t>(nHPass) * static_cast<size_t>(m_nColors) + static_cast<size_t>(nColor);
    return m_pBandBuf + (plane * static_cast<size_t>(m_nBandLines) + static_cast<size_t>(ring)) *
                            static_cast<size_t>(m_nPassRowBytes);
}

unsigned char* CEpsonRPhotoBase::LineInk(int nLine, int nHPass, int nColor)
{
    if (m_lineInk.empty() || m_nBandLines <= 0) return nullptr;
    const size_t ring = static_cast<size_t>((m_nBandBase + nLine) % m_nBandLines);
    const size_t plane = static_cast<size_t>(nHPass) * static_cast<size_t>(m_nColors) + static_cast<size_t>(nColor);
    return &m_lineInk[plane * static_cast<size_t>(m_nBandLines) + ring];
}

void CEpsonRPhotoBase::PassRowPointers(unsigned char** rows, int nRows, int nVPass, int nHPass, int nColor)
{
    for (int k = 0; k < nRows; ++k) {
        const unsigned char* ink = LineInk(nVPass + k * m_nVPasses, nHPass, nColor);
        rows[k] = !ink || *ink == kLineInked ? GetBandRowPtr(k, nVPass, nHPass, nColor, 0) : nullptr;
    }
}
