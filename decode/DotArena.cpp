#include "decode/DotArena.h"

#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define RPHOTO_CHECKED_MEMORY 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define RPHOTO_CHECKED_MEMORY 1
#endif
#endif
#if defined(__linux__) && !defined(RPHOTO_CHECKED_MEMORY)
#include <sys/mman.h>
#define RPHOTO_ARENA_MMAP 1
#endif

namespace {
#ifdef RPHOTO_ARENA_MMAP
constexpr size_t kBlockBytes = 8u << 20;

uint8_t* NewBlock(size_t size)
{
    void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    madvise(p, size, MADV_HUGEPAGE);  // a hint: without it the block still works
    return static_cast<uint8_t*>(p);
}

void FreeBlock(uint8_t* p, size_t size) { munmap(p, size); }
#else
// One allocation per request, so that memory checkers see the end of every row.
constexpr size_t kBlockBytes = 0;

uint8_t* NewBlock(size_t size)
{
    void* p = std::calloc(size, 1);
    if (!p) throw std::bad_alloc();
    return static_cast<uint8_t*>(p);
}

void FreeBlock(uint8_t* p, size_t) { std::free(p); }
#endif
}  // namespace

DotArena::~DotArena()
{
    for (const Block& b : m_blocks) FreeBlock(b.data, b.size);
}

namespace {
// Sizes in classes a 32nd to a 64th of their size apart, so that a place given back fits the
// next rows, whose widths differ by a few columns.
size_t Rounded(size_t bytes)
{
    if (bytes <= 256) return bytes ? (bytes + 7) / 8 * 8 : 8;
    const size_t step = size_t{1} << (std::bit_width(bytes) - 6);
    return (bytes + step - 1) / step * step;
}
}  // namespace

void DotArena::Give(uint8_t* p, size_t bytes)
{
    std::memset(p, 0, bytes);  // the rest of its size class was never written
    m_free[Rounded(bytes)].push_back(p);
}

uint8_t* DotArena::Take(size_t bytes)
{
    bytes = Rounded(bytes);
    const auto again = m_free.find(bytes);
    if (again != m_free.end() && !again->second.empty()) {
        uint8_t* p = again->second.back();
        again->second.pop_back();
        return p;
    }
    if (m_blocks.empty() || m_used + bytes > m_blocks.back().size) {
        const size_t size = bytes > kBlockBytes ? bytes : kBlockBytes;
        // Room first, so that a block just taken is never lost to a failing push_back; growing
        // by half keeps the list's copies linear (one block per row off Linux and under ASan).
        if (m_blocks.size() == m_blocks.capacity()) m_blocks.reserve(m_blocks.size() + m_blocks.size() / 2 + 16);
        m_blocks.push_back(Block{NewBlock(size), size});
        m_used = 0;
    }
    uint8_t* p = m_blocks.back().data + m_used;
    m_used += bytes;
    return p;
}
