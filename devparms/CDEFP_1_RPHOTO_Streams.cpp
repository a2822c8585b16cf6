// Model-1 job start and end streams.
#include <cstring>

#include "devparms/CDEFP_1_RPHOTO.h"
#include "devparms/Model1PrintModes.h"
#include "devparms/Rounding.h"
#include "host/EpsonCommands.h"
#include "host/PrinterDriver.h"

namespace {
constexpr int kBuilderCapacity = 256000;
constexpr double kMmPerInch = 25.4;
const char* const kProductId = "Norvale RIP";

// Paper-path code per nMediaSource: sheet feeder, roll, rear slot, board, CD/DVD tray.
const uint16_t kPaperPaths[] = {0xFF01, 0x0103, 0x0003, 0x0002, 0x0102};
constexpr int kRollSource = 1;

// Media sizes that take the large-size print method.
const char* const kLargeSizes[] = {"ISO A3", "ISO A3Plus", "ISO A2", "ISO A2Plus", "ISO A1", "ISO A0"};

struct PrintModeChoice {
    int mediaId = 0;
    int dotSize = 0;
    int methodId = 0;
};

// First row for the ink mode, print method and media name; all zero without one.
PrintModeChoice ChoosePrintMode(int inkMode, const char* method, const char* media, const char* sizeName)
{
    PrintModeChoice choice;
    for (int i = 0; i < kModel1PrintModeCount; ++i) {
        const PrintModeRow& row = kModel1PrintModes[i];
        if (!ServesInkAndMethod(row, inkMode, method) || std::strcmp(row.media, media) != 0) continue;
        choice.mediaId = row.mediaId;
        choice.dotSize = row.dotSize;
        choice.methodId = row.methodOther;
        if (std::strcmp(sizeName, "ISO A5") == 0) choice.methodId = row.methodA5;
        for (const char* large : kLargeSizes)
            if (std::strcmp(sizeName, large) == 0) choice.methodId = row.methodLarge;
        return choice;
    }
    return choice;
}
}  // namespace

CString CDEFP_1_RPHOTO::GetStartString(CPrinterDriverBase* driver)
{
    if (!driver) return CString();
    const double H = driver->m_dResX;
    const double V = driver->m_dResY;

    // Values first, in this order: the nozzle resolution feeds the raster spacing below.
    if (RoundHalfUp(H) >= 720) dNozzleResH = 720.0;
    const double K = static_cast<double>(static_cast<int32_t>(V)) / kMmPerInch;  // page units per mm

    CString method, sizeName;
    if (driver->m_pPrintEnv) {
        method = driver->m_pPrintEnv->GetString(PrEnv_PrintMethod);
        sizeName = driver->m_pPrintEnv->GetString(PrEnv_DefaultMediaSizeName);
    }

    const StartPageGeometry page = PageGeometry(driver, K, bMoveFullHeadWidth);

    const int32_t horizUnit = RoundHalfUp(dBaseResH / H);
    const int32_t vertUnit = RoundHalfUp(dBaseResV / V);
    const int32_t nozzleSpacingV = RoundHalfUp(dBaseResV / dNozzleResV);
    const int32_t dotSpacingH = RoundHalfUp(dBaseResH / dNozzleResH);
    const int32_t unitBase = RoundHalfUp(dBaseResV);

    const PrintModeChoice mode = ChoosePrintMode(inkMode, method, strPaperTyp, sizeName);

    int32_t platen = 0;
    if (nPlateGap >= 1 && nPlateGap <= 127) platen = nPlateGap + (bPlatenGapBiDirectional ? 128 : 0);

    if (nMediaSource >= 0 && nMediaSource < static_cast<int>(sizeof(kPaperPaths) / sizeof(kPaperPaths[0])))
        nPaperPath = kPaperPaths[nMediaSource];

    CEpsonCommandsAddClass cmd(kBuilderCapacity);
    cmd.addCmd_ExitPacketMode();
    cmd.addCmd_esc_at__initializePrinter();
    cmd.addCmd_esc_at__initializePrinter();
    cmd.addCmd_esc_par_R__enterRemoteMode();
    cmd.addCmd_TI__setPrinterTimer();
    cmd.addCmd_JS__startJob(driver->GetJobName());
    cmd.addCmd_JH__setProductId(kProductId);
    cmd.addCmd_PM__sniffedCmd();
    cmd.addCmd_DP__SelectDuplexPrinting(bDuplexPrint ? 1 : 0);
    cmd.addCmd_SN__mechanicalSequence();
    cmd.addCmd_MI__SelectPaperMedia(static_cast<uint8_t>(mode.mediaId), static_cast<uint8_t>(nPaperSizeCode));
    cmd.addCmd_US__UserSetting(0, static_cast<uint8_t>(nBottomMargin));
    cmd.addCmd_US__UserSetting(1, static_cast<uint8_t>(platen));
    cmd.addCmd_US__UserSetting(2, 0);
    cmd.addCmd_EX__TurnRollPaperModeOnOff(nMediaSource == kRollSource ? 1 : 0);
    cmd.addCmd_FP__SetHorizPrintPosition(page.printPosition);
    cmd.addCmd_PP__SelectPaperPath(static_cast<uint16_t>(nPaperPath));
    cmd.addCmd_esc_000__TerminateRemoteMode();
    cmd.addCmd_esc_par_G__SelectGraphicsMode(1);
    cmd.addCmd_esc_par_U__SetNumberInchUnitsExtended(static_cast<uint8_t>(vertUnit), static_cast<uint8_t>(vertUnit),
                                                     static_cast<uint8_t>(horizUnit),
                                                     static_cast<uint16_t>(unitBase));
    cmd.addCmd_esc_U__SetBidirectPrinting(bBidirectional == 1 ? 0 : 1);
    cmd.addCmd_esc_par_i__SetMicroWeave(static_cast<uint8_t>(nMicroWeave));
    cmd.addCmd_esc_0x19__PaperFeedControl(static_cast<uint8_t>(nPaperFeedCtl));
    cmd.addCmd_esc_par_C__SetPageLength(static_cast<uint32_t>(page.length));
    cmd.addCmd_esc_par_c__SetPageFormat_Extended(static_cast<uint32_t>(page.top), static_cast<uint32_t>(page.bottom));
    cmd.addCmd_esc_par_S__SetPageDimension(static_cast<uint32_t>(page.width), static_cast<uint32_t>(page.length));
    cmd.addCmd_esc_par_K__SetColorMode(static_cast<uint8_t>(nColorMode));
    cmd.addCmd_esc_par_D__SetRasterResolution(static_cast<uint16_t>(unitBase), static_cast<uint8_t>(nozzleSpacingV),
                                              static_cast<uint8_t>(dotSpacingH));
    cmd.addCmd_esc_par_m__SetPrintMethodId(static_cast<uint8_t>(mode.methodId));
    cmd.addCmd_esc_par_e__SelectDotSize(static_cast<uint8_t>(mode.dotSize));

    CString out;
    cmd.retrieveCString(out);
    return out;
}

int CDEFP_1_RPHOTO::OutputEndString(CPrinterDriverBase* driver)
{
    if (!driver) return 0;
    CEpsonCommandsAddClass cmd(kBuilderCapacity);
    return SendEndStream(driver, cmd);
}
