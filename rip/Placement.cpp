#include "rip/Placement.h"

#include <algorithm>
#include <cmath>

namespace rip {

Placement PlacePicture(const PlaceRequest& q)
{
    Placement p;
    const bool landscapePicture = q.pictureWidth > q.pictureHeight;
    // The area's shape in physical units, since the raster may not be square-pixelled.
    const bool landscapeArea = q.areaWidth / q.areaDpiX > q.areaHeight / q.areaDpiY;
    p.rotate = q.allowRotate && landscapePicture != landscapeArea && q.pictureWidth != q.pictureHeight;
    const int pw = p.rotate ? q.pictureHeight : q.pictureWidth;
    const int ph = p.rotate ? q.pictureWidth : q.pictureHeight;
    const double pdx = p.rotate ? q.pictureDpiY : q.pictureDpiX;
    const double pdy = p.rotate ? q.pictureDpiX : q.pictureDpiY;
    // Physical size of the picture and the area in inches.
    const double pictureW = pw / pdx, pictureH = ph / pdy;
    const double areaW = q.areaWidth / q.areaDpiX, areaH = q.areaHeight / q.areaDpiY;
    double factor;  // physical enlargement
    if (q.mode == PlaceMode::kScale)
        factor = q.percent / 100.0;
    else if (q.mode == PlaceMode::kFill)
        factor = std::max(areaW / pictureW, areaH / pictureH);
    else
        factor = std::min(areaW / pictureW, areaH / pictureH);
    p.width = std::max(1, static_cast<int>(std::lround(pictureW * factor * q.areaDpiX)));
    p.height = std::max(1, static_cast<int>(std::lround(pictureH * factor * q.areaDpiY)));
    if (q.mode == PlaceMode::kFit) {
        p.width = std::min(p.width, q.areaWidth);
        p.height = std::min(p.height, q.areaHeight);
    }
    p.scaleX = static_cast<double>(p.width) / pw;
    p.scaleY = static_cast<double>(p.height) / ph;
    p.left = (q.areaWidth - p.width) / 2;
    p.top = (q.areaHeight - p.height) / 2;
    return p;
}

}  // namespace rip
