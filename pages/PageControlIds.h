// Control ids of the two device-options dialogs (templates 22047 and 22048).
#pragma once

namespace Page2000Ids {
constexpr int kInkPhoto = 1107;
constexpr int kInkMatte = 1108;
constexpr int kMedia = 1096;
constexpr int kQuality = 1000;
constexpr int kSourceAsf = 1097;
constexpr int kSourceRoll = 1104;
constexpr int kSourceRear = 1105;
constexpr int kSourceBoard = 1098;
constexpr int kSourceCdr = 1001;
constexpr int kBottomMarginLabel = 1045;
constexpr int kBottomMargin = 1003;
constexpr int kPlatenGap = 1109;
constexpr int kPlatenGapSpin = 1110;
constexpr int kPlatenGapBidirectional = 1106;
constexpr int kBidirectional = 1100;
constexpr int kDuplexPrint = 1103;
constexpr int kMoveFullHeadWidth = 1101;
constexpr int kBrokenNozzlesFrame = 1014;
constexpr int kSimulateBrokenNozzles = 1004;
constexpr int kEnableWeave = 1005;
constexpr int kNozzleList = 1012;
}  // namespace Page2000Ids

namespace Page3000Ids {
constexpr int kMaterial = 1096;
constexpr int kInkTypeLabel = 1043;
constexpr int kInkType = 1105;
constexpr int kSourceAsf = 1097;
constexpr int kSourceBoard = 1098;
constexpr int kSourceFineArt = 1099;
constexpr int kSourceRoll = 1102;
constexpr int kCutFlag = 1332;
constexpr int kDuplexPrint = 1103;
constexpr int kDirectionalMode = 1002;
constexpr int kPlatenGapLabel = 1045;
constexpr int kPlatenGap = 1094;
constexpr int kThicknessLabel = 1055;
constexpr int kThickness = 1095;
constexpr int kDryTimeLabel = 1047;
constexpr int kDryTime = 1104;
constexpr int kDryTimeUnitLabel = 1067;
constexpr int kMoveFullHeadWidth = 1101;
constexpr int kBrokenNozzlesFrame = 1014;
constexpr int kSimulateBrokenNozzles = 1004;
constexpr int kEnableWeave = 1005;
constexpr int kNozzleList = 1012;
constexpr int kSourceRollPosition = 3;  // nMediaSource of "Roll"
}  // namespace Page3000Ids
