// The host's printer-driver interface and the driver base class that modules derive from.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/CString.h"
#include "host/HostTypes.h"
#include "host/OutputSink.h"
#include "host/PrintEnv.h"

class CUnivDevParmsBase;
class CPrintEnvPropertyPage;

// The framework's growable memory file.
struct CMemFile {
    std::vector<unsigned char> data;
};

// Every operation the host may call on a driver, in the framework's slot order.
class IPrinterDriver {
public:
    virtual ~IPrinterDriver() = default;
    virtual int JobOpen(CPrintJobOpenContext* pCtx) = 0;
    virtual void JobClose() = 0;
    virtual int SetPrintPages(int nFirst, int nLast) = 0;
    virtual int SkipPage() = 0;
    virtual int OutputInit(int a, int b) = 0;
    virtual CRasterPixelBuffer* GetRasterPixelBuffer(enmDevicePrimColor color) = 0;
    virtual CRasterPixelBuffer* GetRasterPixelBufferByIndex(int index) = 0;
    virtual int OutputOneRow() = 0;
    virtual int OutputExit() = 0;
    virtual int GetCurrentRow() = 0;
    virtual int GetJobPixelOffs() = 0;
    virtual int GetJobPixelWidth() = 0;
    virtual int GetError() = 0;
    virtual CString GetErrorString() = 0;
    virtual void SetGlobalCtxt(void* pCtx) = 0;
    virtual int GetCountPrimCols() = 0;
    virtual void SetMarginMm(const CDRc& margins) = 0;
    virtual int SetKeyValue(const char* key, const char* value) = 0;
    virtual void SetAbortProc(int (*proc)(void*), void* user) = 0;
    virtual int Aborted() = 0;
    virtual CString IdentifyDevice() = 0;
    virtual double GetMaxJobWidth() = 0;
    virtual double GetMaxJobLength() = 0;
    virtual int64_t GetDotCount(int plane) = 0;
    virtual int GetDevParmsSize() = 0;
    virtual int DevParmsGet(void* buf, int size) = 0;
    virtual int DevParmsSet(const void* buf, int size) = 0;
    virtual int GetDevParmsPropertyPageCount() = 0;
    virtual int GetDevParmsPropertyPages(CPrintEnvPropertyPage** pages, int max) = 0;
    virtual int GetMultipleCopiesSupported() = 0;
    virtual void SetNrOfCopies(int n) = 0;
    virtual int bQueryMediaSizeSupported() = 0;
    virtual int QueryMediaSize(CMediaSize& size) = 0;
    virtual void* GetDevJobContext() = 0;
    virtual int IsSeparation() = 0;
    virtual int MediaSizeIsAllowed(const CMediaSize& size) = 0;
    virtual CDRc MediaSizeGetNpMargin(CQueryNpMargin& query) = 0;
    virtual CDRc GetCurrentNpMargin() = 0;
    virtual void SetJobPrintAttach(CJobPrintAttach* pAttach) = 0;
    virtual int JobPrintOptionAvailable(CJobPrintOptionQuery& query) = 0;
    virtual int GetMediaCut() = 0;
    virtual void SetPerMilDone(int perMil) = 0;
    virtual void SetMediaSizeMm(double width, double length) = 0;
    virtual void SetIccProfileName(const char* name) = 0;
    virtual void SetInkControl(int control) = 0;
    virtual int NewSpoolSection() = 0;
    virtual void SetRepeatHeight(int rows) = 0;
    virtual std::wstring RetrieveOrChangeSpecialDriverSettings(CPrintEnv* env, const std::wstring& request) = 0;
    virtual int OutputMargTop() = 0;
    virtual int OutputMargBottom() = 0;
    virtual int GetJobPixelLength() = 0;
    virtual CString GetDestinationFileName() = 0;
    virtual int AdvanceHangingRows() = 0;
    virtual int OutputEmptyRows(int nRows) = 0;
    virtual int OutputEmptyRow() = 0;
    virtual int OutputDataRow() = 0;
    virtual int OnJobOpenSection(const char* name) = 0;
    virtual int OnOutputInit() = 0;
    virtual int OnOutputExit() = 0;
    virtual int PostOutputOneRow() = 0;
    virtual int OnPostOutputOneRow() = 0;
    virtual int MeasurePage() = 0;
    virtual int StoreDataIntoCallbackMemfile(CMemFile& file) = 0;
};

class IDriverOutput {
public:
    virtual ~IDriverOutput() = default;
    virtual int Output(CMemFile& file) = 0;
    virtual int Output(const unsigned char* data, int n, int flags) = 0;
};

// What the host knows of a job before it opens it: resolution, pixel format, planes.
struct JobSetup {
    double dResX = 720;                       // dpi
    double dResY = 720;                       // dpi
    int nPixelBits = 2;                       // 1 or 2
    int nJobPixelWidth = 0;                   // pixels
    int nJobPixelLength = 0;                  // rows
    std::vector<enmDevicePrimColor> colors;   // one host colour id per plane
    int nCompression = 1;                     // 1: PackBits
    CString jobName;
};

class CPrinterDriverBase : public IPrinterDriver, public IDriverOutput {
public:
    CPrinterDriverBase(CPrintEnv* pEnv, CUnivDevParmsBase* pParms);
    ~CPrinterDriverBase() override;

    // Host-side set-up, called by the embedding host before JobOpen.
    void SetOutputSink(IOutputSink* sink) { m_pSink = sink; }
    void SetupJob(const JobSetup& setup, const std::vector<CRasterPixelBuffer*>& planes);

    // Appends the bytes to the job's output; nonzero on success. A failure is kept as the
    // job's error state (GetError) and makes OutputExit report the job unsuccessful.
    int Output(const CString& bytes);
    int Output(CMemFile& file) override;
    int Output(const unsigned char* data, int n, int flags) override;
    CString GetJobName() const { return m_strJobName; }
    int JobSection(const char* name, int n);
    // Sections the driver opened since the output began (a section per pass and colour).
    int JobSectionsCalled() const { return m_nJobSections; }
    int SaveDevParmsFromPropertyPage(CPrintEnvPropertyPage* page);
    // PackBits (TIFF) encoding of n source bytes into dst; returns the encoded length.
    // dst needs room for n + n / 128 + 1 bytes.
    static int packbits_compress(unsigned char* dst, const unsigned char* src, unsigned int n);

    uint64_t BytesOutput() const { return m_nBytesOutput; }

    // IPrinterDriver: host behaviour.
    int JobOpen(CPrintJobOpenContext* pCtx) override;
    void JobClose() override;
    int SetPrintPages(int nFirst, int nLast) override;
    int SkipPage() override;
    int OutputInit(int a, int b) override;
    CRasterPixelBuffer* GetRasterPixelBuffer(enmDevicePrimColor color) override;
    CRasterPixelBuffer* GetRasterPixelBufferByIndex(int index) override;
    int OutputOneRow() override;
    int OutputExit() override;
    int GetCurrentRow() override;
    int GetJobPixelOffs() override;
    int GetJobPixelWidth() override;
    int GetError() override;
    CString GetErrorString() override;
    void SetGlobalCtxt(void* pCtx) override;
    int GetCountPrimCols() override;
    void SetMarginMm(const CDRc& margins) override;
    int SetKeyValue(const char* key, const char* value) override;
    void SetAbortProc(int (*proc)(void*), void* user) override;
    int Aborted() override;
    CString IdentifyDevice() override;
    double GetMaxJobWidth() override;
    double GetMaxJobLength() override;
    int64_t GetDotCount(int plane) override;
    int GetDevParmsSize() override;
    int DevParmsGet(void* buf, int size) override;
    int DevParmsSet(const void* buf, int size) override;
    int GetDevParmsPropertyPageCount() override;
    int GetDevParmsPropertyPages(CPrintEnvPropertyPage** pages, int max) override;
    int GetMultipleCopiesSupported() override;
    void SetNrOfCopies(int n) override;
    int bQueryMediaSizeSupported() override;
    int QueryMediaSize(CMediaSize& size) override;
    void* GetDevJobContext() override;
    int IsSeparation() override;
    int MediaSizeIsAllowed(const CMediaSize& size) override;
    CDRc MediaSizeGetNpMargin(CQueryNpMargin& query) override;
    CDRc GetCurrentNpMargin() override;
    void SetJobPrintAttach(CJobPrintAttach* pAttach) override;
    int JobPrintOptionAvailable(CJobPrintOptionQuery& query) override;
    int GetMediaCut() override;
    void SetPerMilDone(int perMil) override;
    void SetMediaSizeMm(double width, double length) override;
    void SetIccProfileName(const char* name) override;
    void SetInkControl(int control) override;
    int NewSpoolSection() override;
    void SetRepeatHeight(int rows) override;
    std::wstring RetrieveOrChangeSpecialDriverSettings(CPrintEnv* env, const std::wstring& request) override;
    int OutputMargTop() override;
    int OutputMargBottom() override;
    int GetJobPixelLength() override;
    CString GetDestinationFileName() override;
    int AdvanceHangingRows() override;
    int OutputEmptyRows(int nRows) override;
    int OutputEmptyRow() override;
    int OutputDataRow() override;
    int OnJobOpenSection(const char* name) override;
    int OnOutputInit() override;
    int OnOutputExit() override;
    int PostOutputOneRow() override;
    int OnPostOutputOneRow() override;
    int MeasurePage() override;
    int StoreDataIntoCallbackMemfile(CMemFile& file) override;

    // Members the module reads (the framework's names).
    CPrintEnv* m_pPrintEnv = nullptr;
    double m_dResX = 0;                          // dpi
    double m_dResY = 0;                          // dpi
    int m_nBytesPerRow = 0;                      // bytes of one row of one plane
    CRasterPixelBuffer** m_ppPixelBuffer = nullptr;
    enmDevicePrimColor* m_pPrimColors = nullptr;
    int m_nPrimCols = 0;                         // planes known at construction
    int m_nCompression = 1;                      // 1: PackBits
    CUnivDevParmsBase* m_pDevParms = nullptr;
    int m_nPixelBits = 1;
    int m_nJobPixelWidth = 0;                    // pixels
    CJobPrintAttach* m_pJobPrintAttach = nullptr;

private:
    IOutputSink* m_pSink = nullptr;
    std::vector<CRasterPixelBuffer*> m_planes;
    std::vector<enmDevicePrimColor> m_colors;
    CString m_strJobName;
    int m_nJobPixelLength = 0;
    int m_nJobPlanes = 0;
    int m_bOutputFailed = 0;
    int m_nCurrentRow = 0;
    int m_nJobSections = 0;
    uint64_t m_nBytesOutput = 0;
    CPrintJobOpenContext* m_pOpenCtx = nullptr;
};

// The host's view of any driver a module created.
CPrinterDriverBase* AsDriverBase(IPrinterDriver* driver);

// The host destroys a driver that a module created, then the device-parameter object that the
// driver's base held for the driver's life (the driver itself never releases it).
void DestroyDriver(IPrinterDriver* driver);
struct DriverDeleter {
    void operator()(IPrinterDriver* driver) const { DestroyDriver(driver); }
};
using DriverPtr = std::unique_ptr<IPrinterDriver, DriverDeleter>;

// The one function a driver module exports.
extern "C" {
typedef IPrinterDriver* (*CreateDriverFn)(CPrintEnv* pEnv);
}
