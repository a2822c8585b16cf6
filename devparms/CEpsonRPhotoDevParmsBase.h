// Common base of both models' device parameters: shared head geometry, the weave and
// broken-nozzle block, prefixed settings access, page extent, margins and roll widths.
#pragma once
#include <cstdint>

#include "host/DevParms.h"

class CEpsonCommandsAddClass;

class CEpsonRPhotoDevParmsBase : public CUnivDevParmsBase {
public:
    static constexpr int kNozzles = 180;  // nozzles per colour of the head

    CEpsonRPhotoDevParmsBase(const char* keyPrefix, CPrintEnv* env);
    ~CEpsonRPhotoDevParmsBase() override = default;

    CDRc MediaSizeGetNpMargin(CQueryNpMargin& query) override;
    int JobPrintOptionAvailable(CJobPrintOptionQuery& query) override;
    int OutputStartString(CPrinterDriverBase* driver) override;
    int OutputEndString(CPrinterDriverBase* driver) override;

    virtual int IsDefaultDotType();
    virtual int CalcPageExtentMm(CPrinterDriverBase* driver, double* top, double* bottom, double* width,
                                 double* length, int fullWidth, int hresDpi);
    virtual int GetPageExtentMm(CPrinterDriverBase* driver, double* top, double* bottom, double* width,
                                double* length, int fullWidth);
    virtual int QueryAuxValue(int a, int b, int c);
    virtual void PutPrefixedString(const CString& name, const char* value);
    virtual void PutPrefixedInt(const CString& name, int value);
    virtual CString GetPrefixedString(const CString& name, const char* defaultValue);
    virtual int GetPrefixedInt(const CString& name, int defaultValue);

    double dBaseResH = 5760;     // dpi: horizontal base unit
    double dBaseResV = 5760;     // dpi: vertical base unit
    double dNozzleResH = 360;    // dpi laid down by one head pass; start streams may raise it to 720
    double dNozzleResV = 180;    // dpi: nozzle pitch
    double dTopOffsetMm = 1.5;   // mm
    CString strKeyPrefix;        // "DP1_" or "DP2_"
    CPrintEnv* pPrintEnv = nullptr;  // not owned; may be null

    // Weave and broken-nozzle block, read by the driver when an output starts.
    int32_t bEnableWeave = 1;
    int32_t bEnableBrokenNozzles = 0;
    int32_t bBrokenNozzle[kNozzles] = {};

protected:
    // Appends the job's end stream (reset, load defaults, job end, eject) to `cmd` and sends it;
    // returns what the driver's Output returned.
    static int SendEndStream(CPrinterDriverBase* driver, CEpsonCommandsAddClass& cmd);

    // The weave block is the last run of persisted options of both models: "bEnableWeave",
    // "bEnableBrokenNozzles", then "bBrokenNozzle_0" to "bBrokenNozzle_179".
    void LoadWeaveBlock();
    void SaveWeaveBlock();
};
