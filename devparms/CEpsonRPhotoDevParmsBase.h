// Common base of both models' device parameters: shared head geometry, the weave and
// broken-nozzle block, prefixed settings access, page extent, margins and roll widths.
#pragma once
#include <cstdint>

#include "devparms/DeviceOptions.h"
#include "devparms/Head.h"
#include "host/DevParms.h"

class CEpsonCommandsAddClass;

// The page of a job's start stream, in page units (unitsPerMm of them to the millimetre).
struct StartPageGeometry {
    int32_t width = 0, length = 0;       // the page dimension and length
    int32_t top = 0, bottom = 0;         // the page format
    uint16_t printPosition = 0;          // the horizontal print position: the left shift or 0
};

class CEpsonRPhotoDevParmsBase : public CUnivDevParmsBase {
public:
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
    // The page both models' start streams send: extent, top offset below the non-printable
    // margin and the head's own offset, shifted down (and the print position left) when it is
    // negative or the attachment has flags.
    StartPageGeometry PageGeometry(CPrinterDriverBase* driver, double unitsPerMm, int fullWidth);
    virtual void PutPrefixedString(const CString& name, const char* value);
    virtual void PutPrefixedInt(const CString& name, int value);
    virtual CString GetPrefixedString(const CString& name, const char* defaultValue);
    virtual int GetPrefixedInt(const CString& name, int defaultValue);

    double dBaseResH = 5760;     // dpi: horizontal base unit
    double dBaseResV = 5760;     // dpi: vertical base unit
    double dNozzleResH = 360;    // dpi laid down by one head pass; start streams may raise it to 720
    double dNozzleResV = 180;    // dpi: nozzle pitch
    double dTopOffsetMm = kTopOffsetMm;  // mm
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

    // Load, Save and the page transfer as the model's option table says, the broken-nozzle flags
    // "bBrokenNozzle_0" to "bBrokenNozzle_179" after the table's last row. SaveOptions writes
    // rows [from, to), the flags with the last row.
    void LoadOptions(const DeviceOptionTable& table);
    void SaveOptions(const DeviceOptionTable& table, int from, int to);
    void OptionsToPage(const DeviceOptionTable& table, CPrintEnvPropertyPage& page, int32_t* pageNozzles);
    void OptionsFromPage(const DeviceOptionTable& table, CPrintEnvPropertyPage& page, const int32_t* pageNozzles);
};
