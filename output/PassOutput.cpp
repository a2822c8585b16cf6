// Compression and large writes of raster blocks, on the calling thread or a worker.
#include "output/PassOutput.h"

#include <cstring>
#include <new>
#include <system_error>

#include "host/PackBits.h"

namespace {
constexpr size_t kWriteBytes = 1 << 20;  // the output goes out in writes of about this size
constexpr size_t kItemExtra = 64;        // room for commands around a block

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
    for (Item& item : m_items) {
        item.data.reset(new (std::nothrow) uint8_t[passBytes ? passBytes : 1]);
        if (!item.data) m_out.reset();
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
    m_changed.wait(lock, [this] { return m_count < m_items.size(); });
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

void PassOutput::Process(const Item& item)
{
    const size_t plain = item.rows * item.bytesPerRow;
    const size_t most = item.header.size() + item.trailer.size() + PackedBound(item.rows, item.bytesPerRow);
    if (m_outUsed + most > m_outCapacity) Flush();
    if (most > m_outCapacity) {
        m_out.reset(new uint8_t[most]);  // only before Start: one block at a time
        m_outCapacity = most;
    }
    uint8_t* out = m_out.get() + m_outUsed;
    out = Append(out, item.header.data(), item.header.size());
    switch (item.packing) {
    case Packing::Raw: out = Append(out, item.data.get(), plain); break;
    case Packing::Stream: out += PackBitsEncode(out, item.data.get(), plain); break;
    case Packing::PerLine: out += PackBitsEncodeLines(out, item.data.get(), item.rows, item.bytesPerRow); break;
    }
    out = Append(out, item.trailer.data(), item.trailer.size());
    m_outUsed = static_cast<size_t>(out - m_out.get());
    if (m_outUsed >= kWriteBytes) Flush();
}

void PassOutput::Flush()
{
    // After a failed write nothing more goes out.
    if (m_outUsed && !m_failed && !m_write(m_out.get(), m_outUsed)) m_failed = true;
    m_outUsed = 0;
}

void PassOutput::Work()
{
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return m_count > 0 || m_stopping; });
            if (m_count == 0 || m_dropping) return;
        }
        if (!m_failed) Process(m_items[m_tail]);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_tail = (m_tail + 1) % m_items.size();
            --m_count;
        }
        m_changed.notify_all();
    }
}

bool PassOutput::Sync()
{
    if (m_background) {
        // The worker touches the output buffer only while something is queued.
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_count == 0; });
    }
    if (m_started) Flush();
    return !m_failed;
}

bool PassOutput::Finish()
{
    if (m_background) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return m_count == 0; });
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
