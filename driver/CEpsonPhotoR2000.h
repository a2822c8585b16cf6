// Model 1, Stylus Photo R2000: sends its black plane as photo or matte black.
#pragma once
#include "driver/CEpsonRPhotoBase.h"

class CEpsonPhotoR2000 : public CEpsonRPhotoBase {
public:
    using CEpsonRPhotoBase::CEpsonRPhotoBase;

    int OutputRasterPass(int nVPass, int nHPass, int nColor, unsigned char* pData, int nRows,
                         int nBytesPerRow) override;

    int m_nInkMode = 0;  // the device parameter inkMode at creation: 0 photo black, 1 matte black
};
