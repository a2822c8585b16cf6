// The way of raster blocks and commands to the host's output during a job's rows: each block is
// compressed into a large output buffer that goes out in large writes, in the order queued.
// With a worker thread, a finished band's blocks are compressed and written while the next
// band's rows load; the queue holds at most `slots` blocks, whose pass buffers live here. When
// the queue is full the calling thread compresses the newest blocks itself instead of waiting,
// so that both threads share the compression.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

enum class Packing { Raw, Stream, PerLine };  // raw data, one PackBits stream, one per raster line

class PassOutput {
public:
    using Writer = std::function<bool(const uint8_t*, size_t)>;  // false when the write failed

    explicit PassOutput(Writer write) : m_write(std::move(write)) {}
    ~PassOutput() { Stop(); }
    // Sets up `slots` pass buffers of passBytes bytes and the output buffer, and starts the
    // worker when `background`. False when the memory is not there. Before Start (and after
    // Finish) every block and command is written at once.
    bool Start(size_t passBytes, int slots, bool background);
    // A pass buffer to fill and hand to Block (waits while the worker holds every one). Works
    // before Start too (one buffer, grown to passBytes).
    uint8_t* Buffer(size_t passBytes);
    // Queues bytes that go out as they are. False when an earlier write failed.
    bool Bytes(const uint8_t* data, size_t n);
    // Queues a raster block: header, `rows` rows of bytesPerRow bytes from `data` packed as
    // asked, trailer. `data` is the last Buffer() or any other memory (then copied).
    bool Block(const std::vector<unsigned char>& header, const uint8_t* data, size_t rows, size_t bytesPerRow,
               Packing packing, const std::vector<unsigned char>& trailer);
    // Writes everything queued (the worker stays); false when any write failed.
    bool Sync();
    // Writes everything queued and stops the worker; false when any write failed.
    bool Finish();
    // Stops the worker and drops what is queued (an output that was never ended).
    void Stop();
    bool Failed() const { return m_failed.load(); }

private:
    // A queued item waits, is being compressed (by the worker, or by the calling thread while
    // it would otherwise wait), then waits in its own buffer to be written in queue order.
    enum class Stage { Queued, Packing, Packed };
    struct Item {
        std::vector<uint8_t> header, trailer;  // keep their capacity from block to block
        std::unique_ptr<uint8_t[]> data;
        size_t rows = 0, bytesPerRow = 0;
        Packing packing = Packing::Raw;
        Stage stage = Stage::Queued;
        std::unique_ptr<uint8_t[]> packed;     // with the worker: the item's bytes as they go out
        size_t packedSize = 0, packedCapacity = 0;
    };
    Item& Next(size_t passBytes);
    bool Commit();
    static size_t Bound(const Item& item);
    static size_t Encode(const Item& item, uint8_t* out);
    void Process(const Item& item);
    void Pack(Item& item);
    void Emit(const Item& item);
    Item* Claim(bool oldest);
    void HelpUntil(std::unique_lock<std::mutex>& lock, size_t most);
    void Flush();
    void Work();

    Writer m_write;
    std::vector<Item> m_items;           // the ring of queued blocks
    size_t m_passBytes = 0;
    size_t m_head = 0, m_tail = 0, m_count = 0;
    std::unique_ptr<uint8_t[]> m_out;    // compressed output not yet written
    size_t m_outUsed = 0, m_outCapacity = 0;
    bool m_started = false, m_background = false, m_stopping = false, m_dropping = false;
    std::atomic<bool> m_failed{false};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_worker;
};
