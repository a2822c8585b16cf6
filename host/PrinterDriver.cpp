#include "host/PrinterDriver.h"

#include <cstring>

#include "host/DevParms.h"
#include "host/PackBits.h"

CPrinterDriverBase::CPrinterDriverBase(CPrintEnv* pEnv, CUnivDevParmsBase* pParms)
    : m_pPrintEnv(pEnv), m_pDevParms(pParms)
{
    // The host hands a driver its stored device options from the start, so everything the
    // driver copies at creation (the model-1 black-ink mode) is the user's setting.
    if (m_pDevParms && m_pPrintEnv) m_pDevParms->Load(m_pPrintEnv);
}

CPrinterDriverBase::~CPrinterDriverBase() = default;

void CPrinterDriverBase::SetupJob(const JobSetup& setup, const std::vector<CRasterPixelBuffer*>& planes)
{
    m_dResX = setup.dResX;
    m_dResY = setup.dResY;
    m_nPixelBits = setup.nPixelBits;
    m_nJobPixelWidth = setup.nJobPixelWidth;
    m_nJobPixelLength = setup.nJobPixelLength;
    m_nBytesPerRow = (setup.nJobPixelWidth * setup.nPixelBits + 7) / 8;
    m_nCompression = setup.nCompression;
    m_colors = setup.colors;
    m_planes = planes;
    m_nJobPlanes = static_cast<int>(m_colors.size());
    m_pPrimColors = m_colors.empty() ? nullptr : m_colors.data();
    m_ppPixelBuffer = m_planes.empty() ? nullptr : m_planes.data();
    m_strJobName = setup.jobName;
}

int CPrinterDriverBase::Output(const CString& bytes)
{
    return Output(bytes.bytes(), bytes.GetLength(), 0);
}

int CPrinterDriverBase::Output(CMemFile& file)
{
    return Output(file.data.data(), static_cast<int>(file.data.size()), 0);
}

int CPrinterDriverBase::Output(const unsigned char* data, int n, int)
{
    if (n <= 0) return 1;
    if (!m_pSink || !m_pSink->Write(data, static_cast<size_t>(n))) {
        m_bOutputFailed = 1;
        return 0;
    }
    m_nBytesOutput += static_cast<uint64_t>(n);
    return 1;
}

int CPrinterDriverBase::JobSection(const char*, int)
{
    ++m_nJobSections;
    return 1;
}

int CPrinterDriverBase::SaveDevParmsFromPropertyPage(CPrintEnvPropertyPage* page)
{
    if (!m_pDevParms || !page) return 0;
    m_pDevParms->FromPropertyPage(page);
    return 1;
}

int CPrinterDriverBase::packbits_compress(unsigned char* dst, const unsigned char* src, unsigned int n)
{
    return static_cast<int>(PackBitsEncode(dst, src, n));
}

int CPrinterDriverBase::JobOpen(CPrintJobOpenContext* pCtx)
{
    m_pOpenCtx = pCtx;
    m_bOutputFailed = 0;
    return 1;
}
void CPrinterDriverBase::JobClose() { m_pOpenCtx = nullptr; }
int CPrinterDriverBase::SetPrintPages(int, int) { return 1; }
int CPrinterDriverBase::SkipPage() { return 1; }
int CPrinterDriverBase::OutputInit(int, int)
{
    m_nCurrentRow = 0;
    m_nJobSections = 0;
    return 1;
}
CRasterPixelBuffer* CPrinterDriverBase::GetRasterPixelBuffer(enmDevicePrimColor color)
{
    for (size_t i = 0; i < m_colors.size(); ++i)
        if (m_colors[i] == color) return m_planes[i];
    return nullptr;
}
CRasterPixelBuffer* CPrinterDriverBase::GetRasterPixelBufferByIndex(int index)
{
    return index >= 0 && static_cast<size_t>(index) < m_planes.size() ? m_planes[static_cast<size_t>(index)] : nullptr;
}
int CPrinterDriverBase::OutputOneRow()
{
    ++m_nCurrentRow;
    return OutputDataRow();
}
int CPrinterDriverBase::OutputExit() { return m_bOutputFailed ? 0 : 1; }
int CPrinterDriverBase::GetCurrentRow() { return m_nCurrentRow; }
int CPrinterDriverBase::GetJobPixelOffs() { return 0; }
int CPrinterDriverBase::GetJobPixelWidth() { return m_nJobPixelWidth; }
int CPrinterDriverBase::GetError() { return m_bOutputFailed; }
CString CPrinterDriverBase::GetErrorString()
{
    return m_bOutputFailed ? CString("writing the job's output failed") : CString();
}
void CPrinterDriverBase::SetGlobalCtxt(void*) {}
int CPrinterDriverBase::GetCountPrimCols() { return m_nJobPlanes; }
void CPrinterDriverBase::SetMarginMm(const CDRc&) {}
int CPrinterDriverBase::SetKeyValue(const char* key, const char* value)
{
    if (!m_pPrintEnv || !key) return 0;
    m_pPrintEnv->PutString(key, value);
    return 1;
}
void CPrinterDriverBase::SetAbortProc(int (*)(void*), void*) {}
int CPrinterDriverBase::Aborted() { return 0; }
CString CPrinterDriverBase::IdentifyDevice() { return CString(); }
double CPrinterDriverBase::GetMaxJobWidth() { return 0; }
double CPrinterDriverBase::GetMaxJobLength() { return 0; }
int64_t CPrinterDriverBase::GetDotCount(int) { return 0; }
int CPrinterDriverBase::GetDevParmsSize() { return m_pDevParms ? m_pDevParms->nStructSize : 0; }
int CPrinterDriverBase::DevParmsGet(void*, int) { return 0; }
int CPrinterDriverBase::DevParmsSet(const void*, int) { return 0; }
int CPrinterDriverBase::GetDevParmsPropertyPageCount() { return m_pDevParms ? 1 : 0; }
int CPrinterDriverBase::GetDevParmsPropertyPages(CPrintEnvPropertyPage** pages, int max)
{
    if (!m_pDevParms || !pages || max < 1) return 0;
    pages[0] = m_pDevParms->GetPropertyPage(this);
    return pages[0] ? 1 : 0;
}
int CPrinterDriverBase::GetMultipleCopiesSupported() { return 0; }
void CPrinterDriverBase::SetNrOfCopies(int) {}
int CPrinterDriverBase::bQueryMediaSizeSupported() { return 0; }
int CPrinterDriverBase::QueryMediaSize(CMediaSize&) { return 0; }
void* CPrinterDriverBase::GetDevJobContext() { return nullptr; }
int CPrinterDriverBase::IsSeparation() { return 0; }
int CPrinterDriverBase::MediaSizeIsAllowed(const CMediaSize& size)
{
    return m_pDevParms ? m_pDevParms->MediaSizeIsAllowed(size, this) : 1;
}
CDRc CPrinterDriverBase::MediaSizeGetNpMargin(CQueryNpMargin& query)
{
    return m_pDevParms ? m_pDevParms->MediaSizeGetNpMargin(query) : CDRc();
}
CDRc CPrinterDriverBase::GetCurrentNpMargin() { return m_pDevParms ? m_pDevParms->GetCurrentNpMargin(this) : CDRc(); }
void CPrinterDriverBase::SetJobPrintAttach(CJobPrintAttach* pAttach) { m_pJobPrintAttach = pAttach; }
int CPrinterDriverBase::JobPrintOptionAvailable(CJobPrintOptionQuery& query)
{
    return m_pDevParms ? m_pDevParms->JobPrintOptionAvailable(query) : 0;
}
int CPrinterDriverBase::GetMediaCut() { return m_pDevParms ? m_pDevParms->GetMediaCut() : 0; }
void CPrinterDriverBase::SetPerMilDone(int) {}
void CPrinterDriverBase::SetMediaSizeMm(double, double) {}
void CPrinterDriverBase::SetIccProfileName(const char*) {}
void CPrinterDriverBase::SetInkControl(int) {}
int CPrinterDriverBase::NewSpoolSection() { return 1; }
void CPrinterDriverBase::SetRepeatHeight(int) {}
std::wstring CPrinterDriverBase::RetrieveOrChangeSpecialDriverSettings(CPrintEnv* env, const std::wstring& request)
{
    return m_pDevParms ? m_pDevParms->RetrieveOrChangeSpecialDriverSettings(this, env, request) : std::wstring();
}
int CPrinterDriverBase::OutputMargTop() { return 1; }
int CPrinterDriverBase::OutputMargBottom() { return 1; }
int CPrinterDriverBase::GetJobPixelLength() { return m_nJobPixelLength; }
CString CPrinterDriverBase::GetDestinationFileName() { return CString(); }
int CPrinterDriverBase::AdvanceHangingRows() { return 1; }
int CPrinterDriverBase::OutputEmptyRows(int) { return 1; }
int CPrinterDriverBase::OutputEmptyRow() { return OutputEmptyRows(1); }
int CPrinterDriverBase::OutputDataRow() { return 1; }
int CPrinterDriverBase::OnJobOpenSection(const char*) { return 1; }
int CPrinterDriverBase::OnOutputInit() { return 1; }
int CPrinterDriverBase::OnOutputExit() { return 1; }
int CPrinterDriverBase::PostOutputOneRow() { return 1; }
int CPrinterDriverBase::OnPostOutputOneRow() { return 1; }
int CPrinterDriverBase::MeasurePage() { return 1; }
int CPrinterDriverBase::StoreDataIntoCallbackMemfile(CMemFile&) { return 1; }

CPrinterDriverBase* AsDriverBase(IPrinterDriver* driver) { return dynamic_cast<CPrinterDriverBase*>(driver); }

void DestroyDriver(IPrinterDriver* driver)
{
    if (!driver) return;
    CPrinterDriverBase* base = AsDriverBase(driver);
    CUnivDevParmsBase* parms = base ? base->m_pDevParms : nullptr;
    delete driver;
    delete parms;
}
