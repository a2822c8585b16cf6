// The decoder's inner workings, shared by its source files (not part of the public API).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "decode/Decoder.h"
#include "decode/PrinterState.h"

// Thrown inside the decoder at the first fault; Decode turns it into DecodeResult::error.
struct DecodeFault {
    size_t offset;
    std::string command;
    std::string message;
};

// Told of the rows of a page that no later block can reach. The paper only moves forward, so
// once the head is at row R nothing lays a dot above it: rows above R are final, and their
// storage is reused for the rows below.
class RowWatcher {
public:
    // Rows [0, end) of pages[page] are final; their storage goes right after the call.
    virtual void RowsFinal(size_t page, const DecodedPage& p, int32_t end) = 0;

protected:
    ~RowWatcher() = default;
};

// Thrown when the paper moves back over rows already handed to the watcher: only the whole
// page then tells what those rows hold.
struct RowsReopened {};

class StreamDecoder {
public:
    StreamDecoder(const uint8_t* data, size_t n, const DecodeOptions& options, DecodeResult& result,
                  RowWatcher* watcher = nullptr)
        : m_d(data), m_n(n), m_opt(options), m_r(result), m_watcher(watcher)
    {
    }
    void Run();

private:
    // Top level (Decoder.cpp).
    void TopLevel();
    void Escape();
    void Ejl();
    void NulRun();
    void RemoteRecord();
    void LineFeed();
    void FormFeed();
    void OneByteEsc(const char* name);
    void ShortHorizontal(bool relative);
    // ESC ( commands (EscParen.cpp).
    void ParenCommand();
    void SetUnits(const uint8_t* p, size_t n);
    void SetResolution(const uint8_t* p, size_t n);
    void SetPageFormat(const uint8_t* p, size_t n);
    void MoveVertical(const uint8_t* p, size_t n, bool relative);
    void MoveHorizontal(const uint8_t* p, size_t n, bool relative);
    // ESC i (Raster.cpp).
    void Raster();
    int32_t RowStep() const;
    int32_t ColumnStep() const;
    void LayBlock(RasterBlock& block, const uint8_t* data);
    void ChargePlaneBytes(uint64_t bytes);
    DecodedPage& PageForBlock();
    uint32_t PassForBlock(uint8_t ink);
    InkPlane& PlaneFor(DecodedPage& page, uint8_t ink);

    // Helpers.
    [[noreturn]] void Fail(const std::string& message) const;
    void Warn(const std::string& message);
    // Fails unless k more bytes follow the current command's start.
    void Need(size_t k, const char* what) const;
    size_t Emit(const std::string& name, const std::string& text, bool remote = false);
    void SetRow(int64_t row);
    // Hands rows [m_finalRow, end) of the current page to the watcher and reuses their storage.
    void FinishRows(int64_t end);
    void CountFeed(int64_t lines);

    const uint8_t* m_d;
    size_t m_n;
    const DecodeOptions& m_opt;
    DecodeResult& m_r;
    PrinterState m_s;
    RowWatcher* m_watcher;
    int32_t m_finalRow = 0;  // rows of the current page above it went to the watcher

    size_t m_pos = 0;
    size_t m_cmdStart = 0;   // offset of the command being read
    std::string m_cmdName;   // its name, for faults
    bool m_remote = false;

    int m_page = -1;         // index into m_r.pages; -1 before the page's first raster block
    uint32_t m_pendingFeeds = 0;
    int64_t m_pendingFeedLines = 0;
    bool m_passOpen = false; // a head pass is collecting blocks at m_passRow
    int64_t m_passRow = 0;
    std::vector<uint8_t> m_passInks;
    uint32_t m_passes = 0;   // passes opened so far in the job
    uint64_t m_planeBytes = 0;
    uint64_t m_listingBytes = 0;  // commands and blocks kept
    std::shared_ptr<DotArena> m_arena = std::make_shared<DotArena>();  // rows of every plane
    std::vector<uint8_t> m_unpacked;
    std::vector<PixelSpan> m_spans;  // of the lines of the block being laid
};

// Decode with a watcher of finished rows; RowsReopened passes through.
void DecodeWatched(const uint8_t* data, size_t n, const DecodeOptions& options, DecodeResult& result,
                   RowWatcher* watcher);
