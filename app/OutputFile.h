// Writing a command's output file whole: "-" is stdout, anything else goes through a
// temporary file beside the target and a rename, so no half-written file is left.
#pragma once
#include <string>

// Throws CommandError with a one-line message naming the file when the write fails.
void WriteOutputFile(const std::string& path, const std::string& bytes);
