// Remote-mode records (two letters, u16le count, payload): their arguments in words.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct RemoteDescription {
    std::string text;     // "media 11, size 99"
    std::string warning;  // non-empty for an unknown record or an unexpected layout
};

// Describes record `name` (two letters) with its n payload bytes.
RemoteDescription DescribeRemote(const char* name, const uint8_t* p, size_t n);
