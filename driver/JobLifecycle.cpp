// The driver's job and output steps: open, output start and end, close; time accounting.
#include "devparms/CEpsonRPhotoDevParmsBase.h"
#include "driver/CEpsonRPhotoBase.h"
#include "host/Platform.h"

int CEpsonRPhotoBase::JobOpen(CPrintJobOpenContext* pCtx)
{
    m_strJobInfo = pCtx ? pCtx->GetContextName() : CString();
    return CPrinterDriverBase::JobOpen(pCtx);
}

void CEpsonRPhotoBase::JobClose()
{
    m_strJobInfo = "";
    CPrinterDriverBase::JobClose();
}

int CEpsonRPhotoBase::OutputInit(int a, int b)
{
    m_bBandsReady = 0;
    const int r = CPrinterDriverBase::OutputInit(a, b);
    if (m_bTraceRealTime) m_dwStartTicks = GetTickCount();
    if (!m_bBandsReady) InitBands();
    const auto* parms = static_cast<const CEpsonRPhotoDevParmsBase*>(m_pDevParms);
    const double topOffsetMm = parms ? parms->dTopOffsetMm : 0.0;
    OutputEmptyRows(static_cast<int>(topOffsetMm * m_dResY / 25.4 + 0.5));
    if (m_bTraceRealTime) m_dwDriverTime += GetTickCount() - m_dwStartTicks;
    return r;
}

int CEpsonRPhotoBase::OutputExit()
{
    const uint32_t t0 = TraceTicks();
    const int flushed = FlushBands(1);
    // Everything queued goes out before the output ends (and the end stream follows it).
    const bool written = m_output.Finish();
    m_bOutputEnded = 1;
    int r = CPrinterDriverBase::OutputExit();
    if (m_bBandAllocFailed || !written || !flushed) r = 0;
    if (m_bTraceRealTime) {
        const uint32_t now = GetTickCount();
        m_dwDriverTime += now - t0;
        m_dwTotalTime = now - m_dwStartTicks;
        m_dwDriverTime -= m_dwPortTime;
    }
    WriteJobStatistics(r);
    ReleaseBuffers();
    return r;
}
