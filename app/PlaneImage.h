// Reading one ink's halftoned plane from a netpbm file: PBM (P4, P1) or PGM (P5, P2) with
// maxval 1 or 3, whose pixel values are the ink levels 0..3.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct PlaneImage {
    int width = 0;               // pixels
    int height = 0;              // rows
    int maxval = 1;              // 1 or 3
    std::vector<uint8_t> pixels; // one value per pixel, row after row
};

struct JobPlane;

// A netpbm header: kind '1', '2', '4' or '5' (P1, P2, P4, P5) and where the data starts.
struct PlaneHeader {
    char kind = '5';
    int width = 0, height = 0, maxval = 1;
    size_t dataOffset = 0;
};

// One plane file, read in two steps so that its size can be checked against the page before
// its data is read: Open reads and checks the header (and that the file is long enough for
// the data it announces), ReadPacked then reads the data straight into a job plane.
class PlaneFile {
public:
    PlaneFile() = default;
    PlaneFile(const PlaneFile&) = delete;
    PlaneFile& operator=(const PlaneFile&) = delete;
    ~PlaneFile();
    bool Open(const std::string& path, std::string* error);
    const PlaneHeader& Header() const { return m_header; }
    bool ReadPacked(int bits, int color, JobPlane* out, std::string* error);
    // The file's bytes from the start (for ParsePlaneImage).
    bool ReadRest(std::string* bytes, std::string* error);

private:
    bool Fail(const std::string& what, std::string* error);
    std::string m_path;
    FILE* m_file = nullptr;
    std::string m_prefix;     // the first bytes, header included
    uint64_t m_fileBytes = 0; // 0 when not a regular file
    PlaneHeader m_header;
};

// Reads `path` into *out. On a malformed file returns false with "PATH: what is wrong
// (where)" in *error.
bool ReadPlaneImage(const std::string& path, PlaneImage* out, std::string* error);
// The same from bytes already in memory; `name` stands for the file in messages.
bool ParsePlaneImage(const std::string& bytes, const std::string& name, PlaneImage* out, std::string* error);
