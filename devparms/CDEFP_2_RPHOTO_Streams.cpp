// Model-2 job start and end streams.
#include <cstring>

#include "devparms/CDEFP_2_RPHOTO.h"
#include "devparms/Model2MediaTable.h"
#include "devparms/PrintMethodParms.h"
#include "devparms/Rounding.h"
#include "host/EpsonCommands.h"
#include "host/Platform.h"
#include "host/PrinterDriver.h"

namespace {
constexpr int kBuilderCapacity = 256000;
constexpr double kMmPerInch = 25.4;
constexpr int kUnknownMediaId = 11;         // a named medium missing from the table
constexpr uint8_t kMediaSizeCode = 99;      // user size
constexpr int kDefaultDotSize = 18;
constexpr uint8_t kMicroWeaveOff = 0;
constexpr uint8_t kPaperFeedDefault = 0x31;
constexpr uint8_t kColourMode = 2;

// Platen-gap code per nPlateGap choice 0 to 4.
const uint8_t kPlatenGapCodes[] = {0, 1, 0x80, 0x81, 0x82};
// Paper path per nMediaSource: ASF, Board, Fine Art, Roll; other sources take kOtherPath.
const uint16_t kPaperPaths[] = {0xFF01, 0x0002, 0x0202, 0x0103};
constexpr uint16_t kOtherPath = 0x01FF;
constexpr int kRollSource = 3;

int MediaIdFor(int paperTyp, const char* name)
{
    if (paperTyp == 0) return 0;
    for (int i = 0; i < kModel2MediaCount; ++i)
        if (std::strcmp(kModel2Media[i].name, name) == 0) return kModel2Media[i].mediaId;
    return kUnknownMediaId;
}
}  // namespace

CString CDEFP_2_RPHOTO::GetStartString(CPrinterDriverBase* driver)
{
    if (!driver) return CString();
    const double H = driver->m_dResX;
    const double V = driver->m_dResY;
    const int32_t hDpi = RoundHalfUp(H);
    const int32_t vDpi = RoundHalfUp(V);

    // Values first, in this order: the nozzle resolution feeds the raster spacing below.
    if (hDpi >= 720) dNozzleResH = 720.0;

    int inkType = 0;  // 0: no IK command
    if (inkMode == 1) inkType = 0x31;
    else if (inkMode != 0) inkType = 0x51;

    const int mediaId = MediaIdFor(nPaperTyp, strPaperTyp);

    // The platen gap is a setting of the user-defined medium, like the paper thickness;
    // a named medium brings its own and is sent 0.
    uint8_t platen = 0;
    if (nPaperTyp == 0 && nPlateGap >= 0 && nPlateGap < static_cast<int>(sizeof(kPlatenGapCodes)))
        platen = kPlatenGapCodes[nPlateGap];

    const uint8_t cut = bCutFlag ? 1 : 0;

    const StartPageGeometry page = PageGeometry(driver, V / kMmPerInch, bMoveFullHeadWidth);  // exact dpi
    const uint16_t dryTime = static_cast<uint16_t>(nDryTimeScan);
    const uint8_t thickness =
        (nPaperTyp == 0 && nPaperThickness >= 0 && nPaperThickness <= 15) ? static_cast<uint8_t>(nPaperThickness) : 0;

    uint16_t paperPath = kOtherPath;
    if (nMediaSource >= 0 && nMediaSource < static_cast<int>(sizeof(kPaperPaths) / sizeof(kPaperPaths[0])))
        paperPath = kPaperPaths[nMediaSource];
    const uint8_t rollMode = nMediaSource == kRollSource ? 1 : 0;

    const uint8_t duplex = bDuplexPrint ? 1 : 0;

    const int32_t vertUnit = RoundHalfUp(dBaseResV / V);
    const int32_t horizUnit = RoundHalfUp(dBaseResH / H);
    const int32_t unitBase = RoundHalfUp(dBaseResV);

    const uint8_t direction =
        (nDirectionalControl >= 0 && nDirectionalControl <= 3) ? static_cast<uint8_t>('0' + nDirectionalControl) : '1';

    uint8_t dotSize = kDefaultDotSize;
    CStringList fields(10);
    ReadPrintMethodFields(driver->m_pPrintEnv, &fields);
    if (fields.GetCount() >= kDotSizeField) {
        dotSize = static_cast<uint8_t>(static_cast<uint32_t>(Atoi(fields.GetAt(kDotSizeField - 1))) + 16u);
        // The smallest dot at 720x180 is laid down at 360 dpi per pass.
        if (dotSize == 16 && hDpi == 720 && vDpi == 180) dNozzleResH = 360.0;
    }

    const int32_t nozzleSpacingV = RoundHalfUp(dBaseResV / dNozzleResV);
    const int32_t dotSpacingH = RoundHalfUp(dBaseResH / dNozzleResH);

    uint8_t methodId = 0x80;
    if (vDpi == 720) methodId = 0x76;
    else if (hDpi == 5760) methodId = 0xA2;

    CEpsonCommandsAddClass cmd(kBuilderCapacity);
    cmd.addCmd_ExitPacketMode();
    cmd.addCmd_esc_at__initializePrinter();
    cmd.addCmd_esc_at__initializePrinter();
    cmd.addCmd_esc_par_R__enterRemoteMode();
    cmd.addCmd_TI__setPrinterTimer();
    if (inkType != 0) cmd.addCmd_IK__setInkType(static_cast<uint8_t>(inkType));
    cmd.addCmd_JS__startJob("");
    cmd.addCmd_JH__setProductId();
    cmd.addCmd_PM__sniffedCmd();
    cmd.addCmd_DP__SelectDuplexPrinting(duplex);
    cmd.addCmd_SN__mechanicalSequence();
    cmd.addCmd_MI__SelectPaperMedia(static_cast<uint8_t>(mediaId), kMediaSizeCode);
    cmd.addCmd_US__UserSetting(0, 0);
    cmd.addCmd_US__UserSetting(1, platen);
    cmd.addCmd_US__UserSetting(2, cut);
    cmd.addCmd_EX__TurnRollPaperModeOnOff(rollMode);
    cmd.addCmd_FP__SetHorizPrintPosition(page.printPosition);
    cmd.addCmd_DR__SetDryingTime(dryTime);
    cmd.addCmd_PH__SetPaperThickness(thickness);
    cmd.addCmd_PP__SelectPaperPath(paperPath);
    cmd.addCmd_esc_000__TerminateRemoteMode();
    cmd.addCmd_esc_par_G__SelectGraphicsMode(1);
    cmd.addCmd_esc_par_U__SetNumberInchUnitsExtended(static_cast<uint8_t>(vertUnit), static_cast<uint8_t>(vertUnit),
                                                     static_cast<uint8_t>(horizUnit),
                                                     static_cast<uint16_t>(unitBase));
    cmd.addCmd_esc_U__SetBidirectPrinting(direction);
    cmd.addCmd_esc_par_i__SetMicroWeave(kMicroWeaveOff);
    cmd.addCmd_esc_0x19__PaperFeedControl(kPaperFeedDefault);
    cmd.addCmd_esc_par_C__SetPageLength(static_cast<uint32_t>(page.length));
    cmd.addCmd_esc_par_c__SetPageFormat_Extended(static_cast<uint32_t>(page.top), static_cast<uint32_t>(page.bottom));
    cmd.addCmd_esc_par_S__SetPageDimension(static_cast<uint32_t>(page.width), static_cast<uint32_t>(page.length));
    cmd.addCmd_esc_par_K__SetColorMode(kColourMode);
    cmd.addCmd_esc_par_D__SetRasterResolution(static_cast<uint16_t>(unitBase), static_cast<uint8_t>(nozzleSpacingV),
                                              static_cast<uint8_t>(dotSpacingH));
    cmd.addCmd_esc_par_m__SetPrintMethodId(methodId);
    cmd.addCmd_esc_par_e__SelectDotSize(dotSize);

    CString out;
    cmd.retrieveCString(out);
    return out;
}

int CDEFP_2_RPHOTO::OutputEndString(CPrinterDriverBase* driver)
{
    if (!driver) return 0;
    CEpsonCommandsAddClass cmd;
    return SendEndStream(driver, cmd);
}
