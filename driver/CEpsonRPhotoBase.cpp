// The driver object's construction, destruction and small shared helpers.
#include <cstdlib>

#include "driver/CEpsonRPhotoBase.h"

#include "host/Os.h"
#include "host/Platform.h"

CEpsonRPhotoBase::CEpsonRPhotoBase(CPrintEnv* pEnv, CUnivDevParmsBase* pParms)
    : CPrinterDriverBase(pEnv, pParms), m_output([this](const uint8_t* data, size_t n) {
          const uint32_t t0 = TraceTicks();
          const int ok = Output(data, static_cast<int>(n), 0);
          if (m_bTraceRealTime) m_dwPortTime += GetTickCount() - t0;
          return ok != 0;
      })
{
    m_trailerCmds.addCmd_carriageReturn();
    m_nColors = m_nPrimCols;
    m_strJobInfo = "";
    m_bTraceRealTime = pEnv ? pEnv->GetInt("TraceRealTime", 0) : 0;
}

CEpsonRPhotoBase::~CEpsonRPhotoBase()
{
    // The host normally ends every output; a driver destroyed in the middle of one must
    // not leak its buffers.
    ReleaseBuffers();
    m_strJobInfo.Empty();
}

void CEpsonRPhotoBase::ReleaseBuffers()
{
    os::FreeZeroed(m_pBandBuf, m_nBandAllocBytes);
    m_pBandBuf = nullptr;
    m_nBandAllocBytes = 0;
    std::vector<unsigned char>().swap(m_lineInk);
    delete[] m_pPackBuf;
    m_pPackBuf = nullptr;
    m_output.Stop();
    m_selection.Release();
}

uint32_t CEpsonRPhotoBase::TraceTicks() const { return m_bTraceRealTime ? GetTickCount() : 0; }

int CEpsonRPhotoBase::TimedOutput(const CString& bytes)
{
    const bool queued = m_output.Bytes(bytes.bytes(), static_cast<size_t>(bytes.GetLength()));
    return queued && (m_bInBand || m_output.Sync()) ? 1 : 0;
}

int CEpsonRPhotoBase::PlaneColorId(int nColor) const
{
    return m_pPrimColors && nColor >= 0 ? m_pPrimColors[nColor] : 0;
}
