// Small value types and job objects of the host framework.
#pragma once
#include <cstdint>

#include "host/CString.h"

class CPrinterDriverBase;

// Four distances in millimetres.
struct CDRc {
    double left = 0, top = 0, right = 0, bottom = 0;
};

struct CMediaSize {
    CString strName;       // e.g. "ISO A4"
    double dWidthMm = 0;   // mm
    double dLengthMm = 0;  // mm
};

struct CQueryNpMargin {
    CMediaSize media;
    int nParam1 = 0;
    int nParam2 = 0;
};

struct CJobPrintOptionQuery {
    int nOption = 0;     // option kind; 1: roll width available?
    int nAnswer = 0;     // answer set by the device parameters
    double dValue = 0;   // for kind 1 a media width in mm
};

// What the host knows about the job's medium: size, the driver's margins and a flag word.
class CJobPrintAttach {
public:
    CJobPrintAttach() = default;
    CJobPrintAttach(double widthMm, double lengthMm, const CDRc& margins, uint32_t flags = 0)
        : m_dWidthMm(widthMm), m_dLengthMm(lengthMm), m_margins(margins), m_dwFlags(flags) {}
    virtual ~CJobPrintAttach() = default;
    virtual double GetMediaWidth(CPrinterDriverBase*) const { return m_dWidthMm; }
    virtual double GetMediaLength(CPrinterDriverBase*) const { return m_dLengthMm; }
    virtual CDRc GetDriverMargins(CPrinterDriverBase*) const { return m_margins; }
    uint32_t GetFlags() const { return m_dwFlags; }
    void SetFlags(uint32_t f) { m_dwFlags = f; }

private:
    double m_dWidthMm = 0;
    double m_dLengthMm = 0;
    CDRc m_margins;
    uint32_t m_dwFlags = 0;  // read as yes/no by the start streams
};

// The job-open context handed to JobOpen.
class CPrintJobOpenContext {
public:
    explicit CPrintJobOpenContext(const CString& name = CString()) : m_name(name) {}
    virtual ~CPrintJobOpenContext() = default;
    virtual CString GetContextName() const { return m_name; }

private:
    CString m_name;
};

// One colour plane's rows; pReadRow gives the next row, valid until the next read.
class CRasterPixelBuffer {
public:
    virtual ~CRasterPixelBuffer() = default;
    virtual const unsigned char* pReadRow() = 0;
};

// Host colour identifiers of the planes (0 K, 1 C, 2 M, 3 Y, ...; see the colour-code table).
using enmDevicePrimColor = int;
