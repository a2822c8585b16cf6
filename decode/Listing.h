// Text renderings of a decoded stream: the command listing and the short summary.
#pragma once
#include <string>

#include "decode/Decoder.h"

// One listing line: "0x00012a ESC ( v       advance 117 lines (row 351)". Remote records are indented.
std::string ListingLine(const StreamCommand& command);

// Every command, one line each, then the warnings ("warning: offset ...: ...").
std::string Listing(const DecodeResult& result);

// A few lines for people: size, commands, pages, inks with their dots, passes and feeds.
std::string SummaryText(const DecodeResult& result);
