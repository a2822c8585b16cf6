#include "host/OutputSink.h"

#include "host/Os.h"

FdSink::FdSink(int fd) : m_fd(fd) { os::SetBinary(fd); }

bool FdSink::Write(const void* data, size_t n) { return os::WriteAll(m_fd, data, n); }
