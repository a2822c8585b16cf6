// Model 2, Stylus Photo R3000: the shared driver unchanged.
#pragma once
#include "driver/CEpsonRPhotoBase.h"

class CEpsonPhotoR3000 : public CEpsonRPhotoBase {
public:
    using CEpsonRPhotoBase::CEpsonRPhotoBase;
};
