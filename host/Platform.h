// Platform services the module expects from the operating system and C runtime.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>

#include "host/CString.h"

// Millisecond tick counter, unsigned 32-bit; wraps after about 49.7 days.
uint32_t GetTickCount();
// Tests replace the clock; nullptr restores the real one.
using TickSource = uint32_t (*)();
void SetTickCountSource(TickSource source);

// The Microsoft C runtime generator: state = state * 214013 + 2531011 (mod 2^32),
// rand() = (state >> 16) & 0x7FFF. Process-wide, like the runtime's.
void msvc_srand(uint32_t seed);
int msvc_rand();
// The first value the generator gives after seeding with `seed`.
inline int msvc_first_rand(uint32_t seed)
{
    return static_cast<int>(((seed * 214013u + 2531011u) >> 16) & 0x7FFFu);
}

// C atoi as the Microsoft runtime has it: leading blanks, an optional sign, digits up to
// the first non-digit; no digits gives 0; out-of-range values saturate.
int Atoi(const char* s);

// Folder of the user's data: $XDG_DATA_HOME/rphoto, else ~/.local/share/rphoto; on Windows
// rphoto in the local application data folder.
std::string UserDataFolder();
// Full path of a relative name under the user's data folder; a backslash in the name is a
// folder separator. Creates the folders the path needs, so a file can be opened there.
CString BuildUserDataPathName(const char* relative);

// The C `ctime` text of a time: 24 characters and a line feed, local time; 64-bit on every
// platform.
std::string CtimeText(int64_t t);

// Date and time for the printer's clock command: local time now, or, when
// SOURCE_DATE_EPOCH is set, that instant in UTC so that jobs can be reproduced.
struct PrinterClock {
    int year, month, day, hour, minute, second;
};
PrinterClock PrinterClockNow();
