// Zeroed memory for the rows of the ink planes of one decoded stream, taken from large blocks:
// no allocation per row, and few page faults (the blocks ask for huge pages where the system
// has them). Places given back are handed out again to requests of the same size; the blocks
// themselves go only with the arena.
#pragma once
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class DotArena {
public:
    DotArena() = default;
    DotArena(const DotArena&) = delete;
    DotArena& operator=(const DotArena&) = delete;
    ~DotArena();

    // `bytes` zeroed bytes, 8-byte aligned.
    uint8_t* Take(size_t bytes);
    // Takes back a place for its next use; `bytes` is the size it was taken with, and only
    // those bytes may have been written: they are zeroed again.
    void Give(uint8_t* p, size_t bytes);

private:
    struct Block {
        uint8_t* data;
        size_t size;
    };
    std::vector<Block> m_blocks;
    size_t m_used = 0;  // bytes taken from the last block
    std::unordered_map<size_t, std::vector<uint8_t*>> m_free;  // places given back, by size
};
