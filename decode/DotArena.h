// Zeroed memory for the rows of the ink planes of one decoded stream, taken from large blocks:
// no allocation per row, and few page faults (the blocks ask for huge pages where the system
// has them). Nothing is given back before the arena goes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class DotArena {
public:
    DotArena() = default;
    DotArena(const DotArena&) = delete;
    DotArena& operator=(const DotArena&) = delete;
    ~DotArena();

    // `bytes` zeroed bytes, 8-byte aligned.
    uint8_t* Take(size_t bytes);

private:
    struct Block {
        uint8_t* data;
        size_t size;
    };
    std::vector<Block> m_blocks;
    size_t m_used = 0;  // bytes taken from the last block
};
