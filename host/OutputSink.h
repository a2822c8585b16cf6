// Where a job's bytes go: a file, a device, stdout, memory, or a counter.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class IOutputSink {
public:
    virtual ~IOutputSink() = default;
    // Appends n bytes; false when the write failed (full disk, closed pipe).
    virtual bool Write(const void* data, size_t n) = 0;
};

// Keeps every byte in memory.
class MemorySink : public IOutputSink {
public:
    bool Write(const void* data, size_t n) override
    {
        bytes.append(static_cast<const char*>(data), n);
        return true;
    }
    std::string bytes;
};

// Counts bytes and writes; optionally fails every write once `failAfter` bytes have passed.
class CountingSink : public IOutputSink {
public:
    explicit CountingSink(uint64_t failAfter = UINT64_MAX) : m_failAfter(failAfter) {}
    bool Write(const void*, size_t n) override
    {
        ++writes;
        if (total + n > m_failAfter) return false;
        total += n;
        return true;
    }
    uint64_t total = 0;
    uint64_t writes = 0;

private:
    uint64_t m_failAfter;
};

// Writes to a file descriptor (a file, a device node or stdout), which it puts into binary mode.
class FdSink : public IOutputSink {
public:
    explicit FdSink(int fd);
    bool Write(const void* data, size_t n) override;

private:
    int m_fd;
};

// Writes every byte to two sinks; fails when either fails.
class TeeSink : public IOutputSink {
public:
    TeeSink(IOutputSink& first, IOutputSink& second) : m_first(first), m_second(second) {}
    bool Write(const void* data, size_t n) override
    {
        const bool a = m_first.Write(data, n);
        const bool b = m_second.Write(data, n);
        return a && b;
    }

private:
    IOutputSink& m_first;
    IOutputSink& m_second;
};
