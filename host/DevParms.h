// The framework's device-parameter base: options, job start/end strings, margins.
#pragma once
#include <cstdint>
#include <string>

#include "host/CString.h"
#include "host/HostTypes.h"
#include "host/PrintEnv.h"

class CPrinterDriverBase;
class CPrintEnvPropertyPage;

class CUnivDevParmsBase {
public:
    CUnivDevParmsBase() = default;
    virtual ~CUnivDevParmsBase() = default;
    virtual void Load(CPrintEnv* env) = 0;
    virtual void Save(CPrintEnv* env) = 0;
    virtual CPrintEnvPropertyPage* GetPropertyPage(CPrinterDriverBase* driver) { return nullptr; }
    virtual void FromPropertyPage(CPrintEnvPropertyPage* page) {}
    virtual CString GetPreStartString(CPrinterDriverBase* driver) { return CString(); }
    virtual CString GetPostStartString(CPrinterDriverBase* driver) { return CString(); }
    virtual CString GetPostEndeString(CPrinterDriverBase* driver) { return CString(); }
    virtual int MediaSizeIsAllowed(const CMediaSize& size, const CPrinterDriverBase* driver) { return 1; }
    virtual CDRc MediaSizeGetNpMargin(CQueryNpMargin& query) { return CDRc(); }
    virtual int JobPrintOptionAvailable(CJobPrintOptionQuery& query) { return 0; }
    virtual int GetMediaCut() { return 0; }
    virtual CDRc GetCurrentNpMargin(const CPrinterDriverBase* driver) { return CDRc(); }
    virtual int bStrObSeq() { return 0; }
    virtual CString GetStartString(CPrinterDriverBase* driver) { return CString(); }
    virtual CString GetEndString(CPrinterDriverBase* driver) { return CString(); }
    virtual int OutputStartString(CPrinterDriverBase* driver);
    virtual int OutputEndString(CPrinterDriverBase* driver);
    virtual std::wstring RetrieveOrChangeSpecialDriverSettings(CPrinterDriverBase* driver, CPrintEnv* env,
                                                               const std::wstring& request)
    {
        return std::wstring();
    }
    virtual int GetRemoveJobID() const { return 0; }

    // Header words of the framework's device-parameter record.
    int32_t nStructSize = 0;
    int32_t nStructVersion = 0;
};
