// The driver object shared by both models: job lifecycle, band engine, weave and raster output.
#pragma once
#include <cstdint>
#include <vector>

#include "driver/WeavePlan.h"
#include "host/CString.h"
#include "host/EpsonCommands.h"
#include "host/PrinterDriver.h"
#include "output/PassOutput.h"

class CEpsonRPhotoBase : public CPrinterDriverBase {
public:
    static constexpr int kNozzles = weave::kNozzles;  // nozzles per colour of the head

    CEpsonRPhotoBase(CPrintEnv* pEnv, CUnivDevParmsBase* pParms);
    ~CEpsonRPhotoBase() override;

    // Host slots the driver overrides (job lifecycle, rows).
    int JobOpen(CPrintJobOpenContext* pCtx) override;
    void JobClose() override;
    int OutputInit(int a, int b) override;
    int OutputExit() override;
    int OutputEmptyRows(int nRows) override;
    int OutputDataRow() override;

    // The driver's own operations, in slot order.
    virtual void InitBands();
    virtual int OutputBand();
    virtual int FlushBands(int bFinal);
    virtual void LoadRowPixels(const unsigned char* pRow, int nColor, int nVPass, int nHPass);
    virtual int OutputVertAdvance(CEpsonCommandsAddClass& cmds, int bSend);
    virtual int OutputHorizPos(CEpsonCommandsAddClass& cmds, int nHPass, int bSend);
    virtual int OutputRasterPass(int nVPass, int nHPass, int nColor, unsigned char* pData, int nRows,
                                 int nBytesPerRow);
    virtual unsigned char* GetBandRowPtr(int nRow, int nVPass, int nHPass, int nColor, int nSize);
    virtual unsigned char* GetBandLinePtr(int nLine, int nHPass, int nColor, int nSize);
    virtual void AdvanceBand(int nAdvanceMark);
    virtual void SelectPassPixels(unsigned char* pDest, int nVPass, int nHPass, int nColor, int nSize);
    virtual void MaskBrokenNozzles(unsigned char* pData, int nVPass, int nSize);
    virtual void UpdateWeave(int bInit);
    virtual void WriteJobStatistics(int bSuccess);

    // Fields, in declaration order of the driver object.
    unsigned char* m_pBandBuf = nullptr;   // band buffer, owned
    unsigned char* m_pPackBuf = nullptr;   // PackBits output of one pass of one colour, owned
    int m_nPixelsPerByte = 8;
    int m_nBitsPerPixel = 1;               // also the bit depth of each raster block
    int m_nByteShift = 3;                  // pixel index >> this = byte index
    int m_nPixelIndexMask = 7;             // pixel index & this = place in its byte
    int m_nPixelMask = 1;                  // mask of one pixel value
    int m_bCompress = 0;                   // raster blocks are PackBits-compressed
    int m_nBandRows = 0;                   // lines held in the band, data and empty
    int m_nLoadedRows = 0;                 // m_nBandRows after the last data row, less advances
    int m_nLeadingEmptyRows = 0;           // empty lines at the band's top before its first data row
    int m_nHPasses = 1;                    // horizontal passes per band line
    int m_nVPasses = 1;                    // band lines per nozzle pitch
    int m_nColors = 0;                     // colour planes
    int m_nRowBytes = 0;                   // bytes of one source row
    int m_nPassRowBytes = 0;               // bytes of one row of one horizontal pass
    int m_nPlaneBytes = 0;                 // 180 rows of one pass of one colour
    int m_nPassBytes = 0;                  // m_nPlaneBytes x colours
    int m_nBandBufSize = 0;                // bytes
    size_t m_nBandAllocBytes = 0;          // bytes of the block m_pBandBuf points to
    int m_nPackBufSize = 0;                // bytes
    int m_nBandCount = 0;                  // bands advanced since the weave was started
    int m_nDataBytes = 0;                  // trimmed bytes per row of the pass being printed
    int m_nDataOffset = 0;                 // bytes trimmed at the left of that pass
    int m_nHorizPos = 0;                   // last absolute horizontal position sent (job dots)
    int m_bEnableWeave = 1;
    int m_bEnableBrokenNozzles = 0;
    int m_nFirstBandFactor = 1;
    int m_nWeaveRatio = 1;                 // effective ratio in use; 1 with the weave off
    int m_abBrokenNozzle[kNozzles] = {};   // nonzero: that nozzle prints nothing
    int m_nFeed = 180;                     // paper advance per band, band lines
    int m_nBandLines = 180;                // band capacity, lines
    int m_nPendingAdvance = 0;             // lines to move before the next raster block
    int m_nPendingEmptyRows = 0;           // empty rows announced, not yet placed
    int m_nFullCopyRows = 180;             // nozzle rows below this print all left on their line
    int m_nSelectDivisor = 1;
    int m_nRampLines = 0;                  // lines
    int m_nWeaveState = weave::kFirstBand;
    int m_nAdvancedRows = 0;               // lines moved with vertical moves this output
    uint32_t m_dwStartTicks = 0;           // ms tick count at OutputInit
    uint32_t m_dwDriverTime = 0;           // ms
    uint32_t m_dwPortTime = 0;             // ms
    uint32_t m_dwSelectTime = 0;           // ms
    uint32_t m_dwLoadTime = 0;             // ms
    uint32_t m_dwTotalTime = 0;            // ms
    int m_bSingleDotSize = 0;              // every set pixel loads as value 1
    int m_bOutputEnded = 0;
    CString m_strJobInfo;                  // job-open context's name, for the log's file name
    int m_bBandsReady = 0;
    int m_bTraceRealTime = 0;

    // Set when a band, pass or PackBits buffer could not be allocated: the output sends
    // nothing more and OutputExit reports the job unsuccessful.
    int m_bBandAllocFailed = 0;

    // Raster blocks sent by rescue passes this output (lines that would have left the band
    // with ink); 0 wherever the weave alone prints every dot.
    int m_nRescueBlocks = 0;

    // Band line 0 is this line of the band buffer: the band is a ring, so an advance moves
    // no data. Each plane of each horizontal pass holds m_nBandLines lines in ring order.
    int m_nBandBase = 0;
    // "PackBitsPerLine": PackBits restarts at every raster line of a block (off: one stream).
    int m_bPackPerLine = 0;
    // "BackgroundOutput" (on unless 0): a worker thread compresses and writes a finished
    // band's blocks while the next band's rows load.
    int m_bBackgroundOutput = 1;
    // Set while OutputBand runs: its blocks go out in large writes; anything sent outside a
    // band goes out before the call returns.
    int m_bInBand = 0;

protected:
    // One raster block with the colour code chosen by the model.
    int SendRasterPass(int nVPass, int nHPass, int nColor, unsigned char* pData, int nRows, int nBytesPerRow,
                       uint8_t colorCode);
    // Rescue passes, run by OutputBand before the advance drops lines 0..feed-1: whether
    // nozzle rows 0..nRows-1 of interleave pass nVPass hold ink in any plane or horizontal
    // pass; cutting those rows whole (trimmed, cleared from the band) into pDest; and sending
    // them as the pass's blocks.
    bool LeavingRowsHoldInk(int nVPass, int nRows);
    void CutRescueRows(unsigned char* pDest, int nVPass, int nHPass, int nColor, int nRows);
    int OutputRescuePass(int nVPass, int nRows);  // 0 when the output failed
    // Host colour identifier of a plane (0 when the host gave none).
    int PlaneColorId(int nColor) const;
    // Tick count when timing is on, else 0.
    uint32_t TraceTicks() const;
    // Writes bytes to the host's output (after the blocks queued before them), timing the
    // writes into m_dwPortTime.
    int TimedOutput(const CString& bytes);
    // Row pointers of nozzle rows 0..nRows-1 of interleave pass nVPass; nullptr where the line
    // holds no ink.
    void PassRowPointers(unsigned char** rows, int nRows, int nVPass, int nHPass, int nColor);

    PassOutput m_output;                   // blocks and commands on their way to the host
    CEpsonCommandsAddClass m_blockCmds;    // the commands in front of one block
    CEpsonCommandsAddClass m_trailerCmds;  // the carriage return after every block

private:
    void ReleaseBuffers();
    void SetupLoadTables();

    weave::SelectionMasks m_selection;     // which pixels a weaving nozzle row takes
    // Row-loading lookup: for horizontal pass h and a source byte, the bits of its pixels
    // that belong to pass h, packed together (used when hp divides the pixels per byte).
    unsigned char m_loadTable[8][256] = {};
    int m_nLoadTableHp = 0;                // hp the table was built for (0: none)
    int m_nLoadTableBits = 0;
    int m_bLoadTableSingleDot = -1;
    // Per plane and line of the band buffer (ring order), what the line holds: kLineZero (never
    // loaded), kLineInked (may hold ink), or kLineSpent (copied out whole since: no ink, its bytes
    // left as they were, for the next load to overwrite rather than OR). Lines other than inked
    // ones are neither read nor cleared.
    enum LineState : unsigned char { kLineZero = 0, kLineInked = 1, kLineSpent = 2 };
    std::vector<unsigned char> m_lineInk;
    unsigned char* LineInk(int nLine, int nHPass, int nColor);  // nullptr before the band exists
    // After line nLine's ink [from, from + n) was copied out whole: it holds no ink.
    void SpendLine(int nLine, int nHPass, int nColor, unsigned char* from, int n);
};
