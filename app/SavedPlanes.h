// Writes the halftoned planes of a job as PGM files (maxval 3), one per ink, while passing
// each row on, so a job can be re-printed and checked with the plane tools.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "rip/PageRip.h"

class SavedPlanes : public rip::RowSink {
public:
    // Files DIR/NN-INK.pgm; throws CommandError when one cannot be created.
    SavedPlanes(const std::string& dir, const std::vector<std::string>& inkNames, int width, int height, int bits,
                rip::RowSink& next);
    ~SavedPlanes() override;
    bool DataRow(const uint8_t* const* planes) override;
    bool EmptyRows(int count) override;
    // Renames the finished files into place; throws CommandError on a failed write.
    void Commit();

private:
    struct File {
        std::string path, temp;
        FILE* f = nullptr;
    };
    std::vector<File> m_files;
    std::vector<uint8_t> m_row;
    int m_width, m_bits;
    rip::RowSink& m_next;
};
