// The few operating-system calls the host needs, in one place: POSIX on Linux, Win32 and the
// Microsoft C runtime on Windows. Includes no platform header: <windows.h> (which defines
// GetTickCount, CB_ERR, LB_ERR, ... for itself) is included by host/Os.cpp and the Windows
// settings store only, so the host's names of the same spelling never meet the platform's.
#pragma once
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

// GNU attributes the Microsoft compiler does not know.
#if defined(__GNUC__)
#define RPHOTO_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define RPHOTO_PRINTF_FORMAT(fmt, args)
#endif
// The module's export: named in a .def file on Windows, default visibility elsewhere.
#if defined(__GNUC__) && !defined(_WIN32)
#define RPHOTO_MODULE_EXPORT __attribute__((visibility("default")))
#else
#define RPHOTO_MODULE_EXPORT
#endif

namespace os {

// Broken-down time of a 64-bit time value (also past 2038 where the C runtime's time_t is
// 32-bit); false when the platform cannot represent it.
bool LocalTime(int64_t t, std::tm* out);
bool UtcTime(int64_t t, std::tm* out);
int64_t Now();

// Flushes a file's data to the disk.
bool SyncFile(std::FILE* f);
// Renames `from` to `to`, replacing an existing `to` and writing the change through to the disk.
bool RenameReplacing(const std::string& from, const std::string& to);
// Puts a descriptor into binary mode (a no-op on POSIX): no byte of a job is translated.
void SetBinary(int fd);
// Writes all n bytes to a descriptor; false on error.
bool WriteAll(int fd, const void* data, size_t n);
int ProcessId();

// Zeroed memory for a large working buffer, in huge pages where the system offers them: a band
// of many megabytes in small pages costs a page fault per 4 KB on first touch, every job.
// nullptr when there is none; AllocZeroed(0) gives a valid block of one byte.
void* AllocZeroed(size_t n);
void FreeZeroed(void* p, size_t n);  // n as allocated; p may be nullptr

// Root folders for the user's files: data that roams with the user (settings) and data local
// to the machine (logs). The application's folder name is appended by the caller.
std::string UserConfigRoot();
std::string UserDataRoot();

}  // namespace os
