// Compression and large writes of raster blocks, on the calling thread or a worker.
#include "output/PassOutput.h"

#include <cstring>
#include <new>
#include <system_error>

#include "host/PackBits.h"

namespace {
constexpr size_t kWriteBytes = 1 << 20;  // the output goes out in writes of about this size
constexpr size_t kItemExtra = 64;        // room for commands around a block
constexpr size_t kNozzleRows = 180;     // rows of a block at most, each one PackBits byte more
constexpr size_t kDirectBytes = 1 << 16; // a block this large is written from its own buffer

size_t PackedBound(size_t rows, size_t bytesPerRow) { return rows * PackBitsBound(bytesPerRow) + kItemExtra; }

uint8_t* Append(uint8_t* out, const uint8_t* data, size_t n)
{
    if (n) std::memcpy(out, data, n);
    return out + n;
}
}  // namespace

bool PassOutput::Start(size_t passBytes, int slots, bool background)
{
    Stop();
    m_failed = false;
    m_passBytes = passBytes;
    m_outCapacity = kWriteBytes + PackedBound(passBytes, 1) + passBytes / 64;
    m_out.reset(new (std::nothrow) uint8_t[m_outCapacity]);
    m_items.clear();
    m_items.resize(static_cast<size_t>(background && slots > 1 ? slots : 1));
    const bool packHere = background && slots > 1;
    for (Item& item : m_items) {
        item.data.reset(new (std::nothrow) uint8_t[passBytes ? passBytes : 1]);
        item.stage = Stage::Queued;
        item.packedCapacity = packHere ? PackBitsBound(passBytes) + kNozzleRows + 16 * kItemExtra : 0;
        item.packed.reset(packHere ? new (std::nothrow) uint8_t[item.packedCapacity] : nullptr);
        if (!item.data || (packHere && !item.packed)) m_out.reset();
    }
    if (!m_out) {
        m_items.clear();
        return false;
    }
    m_head = m_tail = m_count = m_outUsed = 0;
    m_started = true;
    m_background = m_items.size() > 1;
    m_stopping = m_dropping = false;
    if (m_background) {
        try {
            m_worker = std::thread(&PassOutput::Work, this);
        } catch (const std::system_error&) {
            m_background = false;  // no thread to be had: everything on the calling thread
        }
    }
    return true;
}

PassOutput::Item& PassOutput::Next(size_t passBytes)
{
    if (!m_started) {
        // Before Start: a single item, written at once.
        if (m_items.empty()) m_items.resize(1);
        if (passBytes > m_passBytes) {
            m_items[0].data.reset(new uint8_t[passBytes]);
            m_passBytes = passBytes;
        }
        return m_items[0];
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    HelpUntil(lock, m_items.size() - 1);
    return m_items[m_head];
}

uint8_t* PassOutput::Buffer(size_t passBytes) { return Next(passBytes).data.get(); }

bool PassOutput::Commit()
{
    if (!m_background) {
        Process(m_items[m_head]);
        if (!m_started) Flush();
        return !m_failed;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_items[m_head].stage = Stage::Queued;
        m_head = (m_head + 1) % m_items.size();
        ++m_count;
    }
    m_changed.notify_all();
    return !m_failed;
}

bool PassOutput::Bytes(const uint8_t* data, size_t n)
{
    if (m_failed) return false;
    Item& item = Next(0);
    item.header.assign(data, data + n);
    item.trailer.clear();
    item.rows = 0;
    return Commit();
}

bool PassOutput::Block(const std::vector<unsigned char>& header, const uint8_t* data, size_t rows, size_t bytesPerRow,
                       Packing packing, const std::vector<unsigned char>& trailer)
{
    if (m_failed) return false;
    Item& item = Next(rows * bytesPerRow);
    if (data != item.data.get()) Append(item.data.get(), data, rows * bytesPerRow);
    item.header = header;
    item.trailer = trailer;
    item.rows = rows;
    item.bytesPerRow = bytesPerRow;
    item.packing = packing;
    return Commit();
}

size_t PassOutput::Bound(const Item& item)
{
    return item.header.size() + item.trailer.size() + PackedBound(item.rows, item.bytesPerRow);
}

// Header, data as asked, trailer into `out` (room for Bound); returns the bytes written.
size_t PassOutput::Encode(const Item& item, uint8_t* out)
{
    uint8_t* const start = out;
    out = Append(out, item.header.data(), item.header.size());
    switch (item.packing) {
    case Packing::Raw: out = Append(out, item.data.get(), item.rows * item.bytesPerRow); break;
    case Packing::Stream: out += PackBitsEncode(out, item.data.get(), item.rows * item.bytesPerRow); break;
    case Packing::PerLine: out += PackBitsEncodeLines(out, item.data.get(), item.rows, item.bytesPerRow); break;
    }
    out = Append(out, item.trailer.data(), item.trailer.size());
    return static_cast<size_t>(out - start);
}

void PassOutput::Process(const Item& item)
{
    const size_t most = Bound(item);
    if (m_outUsed + most > m_outCapacity) Flush();
    if (most > m_outCapacity) {
        m_out.reset(new uint8_t[most]);  // only before Start: one block at a time
        m_outCapacity = most;
    }
    m_outUsed += Encode(item, m_out.get() + m_outUsed);
    if (m_outUsed >= kWriteBytes) Flush();
}

void PassOutput::Pack(Item& item)
{
    const size_t most = Bound(item);
    if (most > item.packedCapacity) {
        item.packed.reset(new (std::nothrow) uint8_t[most]);
        item.packedCapacity = item.packed ? most : 0;
    }
    item.packedSize = item.packed ? Encode(item, item.packed.get()) : 0;
    if (!item.packed) m_failed = true;
}

void PassOutput::Emit(const Item& item)
{
    if (m_outUsed + item.packedSize > m_outCapacity) Flush();
    if (item.packedSize >= kDirectBytes) {
        // Large blocks go out from their own buffer, after what is gathered before them.
        Flush();
        if (!m_failed && !m_write(item.packed.get(), item.packedSize)) m_failed = true;
        return;
    }
    m_outUsed = static_cast<size_t>(Append(m_out.get() + m_outUsed, item.packed.get(), item.packedSize) - m_out.get());
    if (m_outUsed >= kWriteBytes) Flush();
}

PassOutput::Item* PassOutput::Claim(bool oldest)
{
    for (size_t k = 0; k < m_count; ++k) {
        const size_t at = oldest ? k : m_count - 1 - k;
        Item& item = m_items[(m_tail + at) % m_items.size()];
        if (item.stage == Stage::Queued) {
            item.stage = Stage::Packing;
            return &item;
        }
    }
    return nullptr;
}

void PassOutput::HelpUntil(std::unique_lock<std::mutex>& lock, size_t most)
{
    while (m_count > most) {
        Item* item = Claim(false);
        if (!item) {
            m_changed.wait(lock);
            continue;
        }
        lock.unlock();
        Pack(*item);
        lock.lock();
        item->stage = Stage::Packed;
        m_changed.notify_all();
    }
}

void PassOutput::Flush()
{
    // After a failed write nothing more goes out.
    if (m_outUsed && !m_failed && !m_write(m_out.get(), m_outUsed)) m_failed = true;
    m_outUsed = 0;
}

void PassOutput::Work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        if (m_dropping || (m_count == 0 && m_stopping)) return;
        Item& front = m_items[m_tail];
        if (m_count > 0 && front.stage == Stage::Packed) {
            lock.unlock();
            if (!m_failed) Emit(front);
            lock.lock();
            m_tail = (m_tail + 1) % m_items.size();
            --m_count;
            m_changed.notify_all();
        } else if (Item* item = m_count > 0 ? Claim(true) : nullptr) {
            lock.unlock();
            Pack(*item);
            lock.lock();
            item->stage = Stage::Packed;
        } else {
            m_changed.wait(lock);
        }
    }
}

bool PassOutput::Sync()
{
    if (m_background) {
        // The worker touches the output buffer only while something is queued.
        std::unique_lock<std::mutex> lock(m_mutex);
        HelpUntil(lock, 0);
    }
    if (m_started) Flush();
    return !m_failed;
}

bool PassOutput::Finish()
{
    if (m_background) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            HelpUntil(lock, 0);
            m_stopping = true;
        }
        m_changed.notify_all();
        m_worker.join();
        m_background = false;
    }
    if (m_started) Flush();
    m_started = false;
    return !m_failed;
}

void PassOutput::Stop()
{
    if (m_background) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = m_dropping = true;  // nothing queued is written
        }
        m_changed.notify_all();
        m_worker.join();
        m_background = false;
    }
    m_count = 0;
    m_started = false;
    m_outUsed = 0;
}
