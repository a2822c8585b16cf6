// Common base of both models' device parameters.
#include "devparms/CEpsonRPhotoDevParmsBase.h"

#include "devparms/Rounding.h"
#include "host/EpsonCommands.h"

#include "host/PrinterDriver.h"

namespace {
// Roll widths the printers take, mm, scanned in this order.
const double kRollWidthsMm[] = {89, 102, 127, 203, 210, 216, 245, 279, 297, 329, 406, 420, 431.8};
// Half-width of the match window around a roll width, mm (both bounds strict).
constexpr double kRollWidthToleranceMm = 0.1;
// The non-printable margin on every side, mm.
constexpr double kNpMarginMm = 3.0;
constexpr double kTopShiftMm = 2.5;      // added to a negative or attached top offset
constexpr uint16_t kLeftShift = 0xFFB0;  // -80 in 1/360 inch, sent with the top shift
}  // namespace

CEpsonRPhotoDevParmsBase::CEpsonRPhotoDevParmsBase(const char* keyPrefix, CPrintEnv* env)
    : strKeyPrefix(keyPrefix), pPrintEnv(env)
{
    nStructSize = static_cast<int32_t>(sizeof(CEpsonRPhotoDevParmsBase));
    nStructVersion = 261;
    dNozzleResH = 360;
    dNozzleResV = 180;
}

CDRc CEpsonRPhotoDevParmsBase::MediaSizeGetNpMargin(CQueryNpMargin&)
{
    CDRc margins;
    margins.left = margins.top = margins.right = margins.bottom = kNpMarginMm;
    return margins;
}

int CEpsonRPhotoDevParmsBase::JobPrintOptionAvailable(CJobPrintOptionQuery& query)
{
    if (query.nOption != 1) return 1;
    query.nAnswer = 0;
    for (double w : kRollWidthsMm) {
        if (w - kRollWidthToleranceMm < query.dValue && query.dValue < w + kRollWidthToleranceMm) {
            query.nAnswer = 1;
            break;
        }
    }
    return 1;
}

int CEpsonRPhotoDevParmsBase::OutputStartString(CPrinterDriverBase* driver)
{
    if (!driver) return 0;
    return (driver->Output(GetStartString(driver)) & 1) ? 1 : 0;
}

int CEpsonRPhotoDevParmsBase::OutputEndString(CPrinterDriverBase* driver)
{
    if (!driver) return 0;
    return (driver->Output(GetEndString(driver)) & 1) ? 1 : 0;
}

int CEpsonRPhotoDevParmsBase::IsDefaultDotType() { return 0; }

int CEpsonRPhotoDevParmsBase::CalcPageExtentMm(CPrinterDriverBase* driver, double* top, double* bottom,
                                               double* width, double* length, int fullWidth, int hresDpi)
{
    // A driver without a job attachment is treated as zero-sized media with no margins.
    const CJobPrintAttach none;
    const CJobPrintAttach* attach = driver && driver->m_pJobPrintAttach ? driver->m_pJobPrintAttach : &none;
    const int pixels = driver ? driver->m_nJobPixelWidth : 0;

    if (fullWidth) {
        *width = attach->GetMediaWidth(driver);
    } else {
        const CDRc m = attach->GetDriverMargins(driver);
        const double perPixel = hresDpi != 0 ? 25.4 / hresDpi : 0.0;
        *width = perPixel * static_cast<double>(pixels) + m.left + m.right;
    }
    *length = attach->GetMediaLength(driver);
    const CDRc m = attach->GetDriverMargins(driver);
    *top = m.top;
    *bottom = *length - m.bottom;
    return 1;
}

int CEpsonRPhotoDevParmsBase::GetPageExtentMm(CPrinterDriverBase* driver, double* top, double* bottom,
                                              double* width, double* length, int fullWidth)
{
    const int hres = driver ? static_cast<int>(driver->m_dResX) : 0;
    return CalcPageExtentMm(driver, top, bottom, width, length, fullWidth, hres);
}

int CEpsonRPhotoDevParmsBase::QueryAuxValue(int, int, int) { return 0; }

StartPageGeometry CEpsonRPhotoDevParmsBase::PageGeometry(CPrinterDriverBase* driver, double unitsPerMm, int fullWidth)
{
    double top = 0, bottom = 0, width = 0, length = 0;
    GetPageExtentMm(driver, &top, &bottom, &width, &length, fullWidth);
    CQueryNpMargin query;
    double topOffset = top - MediaSizeGetNpMargin(query).top - dTopOffsetMm;
    StartPageGeometry page;
    if (topOffset < 0 || (driver->m_pJobPrintAttach && driver->m_pJobPrintAttach->GetFlags() != 0)) {
        topOffset += kTopShiftMm;
        page.printPosition = kLeftShift;
    }
    page.width = RoundHalfUp(unitsPerMm * width);
    page.length = RoundHalfUp(unitsPerMm * length);
    page.top = RoundHalfUp(unitsPerMm * topOffset);
    page.bottom = RoundHalfUp(unitsPerMm * bottom);
    return page;
}

void CEpsonRPhotoDevParmsBase::PutPrefixedString(const CString& name, const char* value)
{
    if (!pPrintEnv) return;
    pPrintEnv->PutString(strKeyPrefix + name, value);
}

void CEpsonRPhotoDevParmsBase::PutPrefixedInt(const CString& name, int value)
{
    if (!pPrintEnv) return;
    pPrintEnv->PutInt(strKeyPrefix + name, value);
}

CString CEpsonRPhotoDevParmsBase::GetPrefixedString(const CString& name, const char* defaultValue)
{
    if (!pPrintEnv) return CString("***ERROR***");
    return pPrintEnv->GetString(strKeyPrefix + name, defaultValue);
}

int CEpsonRPhotoDevParmsBase::GetPrefixedInt(const CString& name, int defaultValue)
{
    if (!pPrintEnv) return -1;
    return pPrintEnv->GetInt(strKeyPrefix + name, defaultValue);
}

void CEpsonRPhotoDevParmsBase::LoadOptions(const DeviceOptionTable& table)
{
    for (int i = 0; i < table.count; ++i) {
        const DeviceOption& o = table.options[i];
        if (o.text) *o.text(*this) = GetPrefixedString(o.name, "");
        else *o.field(*this) = GetPrefixedInt(o.name, o.defaultValue);
    }
    CString name;
    for (int n = 0; n < kNozzles; ++n) {
        name.Format("bBrokenNozzle_%d", n);
        bBrokenNozzle[n] = GetPrefixedInt(name, 0);
    }
}

void CEpsonRPhotoDevParmsBase::SaveOptions(const DeviceOptionTable& table, int from, int to)
{
    for (int i = from; i < to; ++i) {
        const DeviceOption& o = table.options[i];
        if (o.text) PutPrefixedString(o.name, *o.text(*this));
        else PutPrefixedInt(o.name, *o.field(*this));
    }
    if (to != table.count) return;
    CString name;
    for (int n = 0; n < kNozzles; ++n) {
        name.Format("bBrokenNozzle_%d", n);
        PutPrefixedInt(name, bBrokenNozzle[n]);
    }
}

void CEpsonRPhotoDevParmsBase::OptionsToPage(const DeviceOptionTable& table, CPrintEnvPropertyPage& page,
                                             int32_t* pageNozzles)
{
    for (int i = 0; i < table.count; ++i) {
        const DeviceOption& o = table.options[i];
        if (o.pageText) *o.pageText(page) = *o.text(*this);
        else if (o.pageField) *o.pageField(page) = *o.field(*this);
    }
    for (int n = 0; n < kNozzles; ++n) pageNozzles[n] = bBrokenNozzle[n];
}

void CEpsonRPhotoDevParmsBase::OptionsFromPage(const DeviceOptionTable& table, CPrintEnvPropertyPage& page,
                                               const int32_t* pageNozzles)
{
    for (int i = 0; i < table.count; ++i) {
        const DeviceOption& o = table.options[i];
        if (o.pageText) *o.text(*this) = *o.pageText(page);
        else if (o.pageField) *o.field(*this) = *o.pageField(page);
    }
    for (int n = 0; n < kNozzles; ++n) bBrokenNozzle[n] = pageNozzles[n];
}

int CEpsonRPhotoDevParmsBase::SendEndStream(CPrinterDriverBase* driver, CEpsonCommandsAddClass& cmd)
{
    cmd.addCmd_esc_at__initializePrinter();
    cmd.addCmd_esc_par_R__enterRemoteMode();
    cmd.addCmd_LD__LoadDefaultValues();
    cmd.addCmd_esc_000__TerminateRemoteMode();
    cmd.addCmd_esc_at__initializePrinter();
    cmd.addCmd_esc_par_R__enterRemoteMode();
    cmd.addCmd_LD__LoadDefaultValues();
    cmd.addCmd_JE__JobEnd();
    cmd.addCmd_esc_000__TerminateRemoteMode();
    cmd.addCmd_0xc__PaperEject();
    CString out;
    cmd.retrieveCString(out);
    return driver->Output(out);
}
