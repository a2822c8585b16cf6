// Small text helpers for listings: hex dumps and hex numbers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// "01 02 FF", at most `limit` bytes followed by " ..." when there are more.
std::string HexBytes(const uint8_t* p, size_t n, size_t limit = 32);
// "0x3F" (two digits), "0xFF01" (four digits).
std::string Hex2(unsigned v);
std::string Hex4(unsigned v);
