// Where a picture lands on the printable area: how it is turned, scaled and cropped, all in
// the pixels of the colour raster (the printer raster divided by the input steps).
#pragma once

namespace rip {

enum class PlaceMode { kFit, kFill, kScale };

struct PlaceRequest {
    PlaceMode mode = PlaceMode::kFit;
    double percent = 100;          // kScale: of the picture's own size
    bool allowRotate = true;       // turn a landscape picture on a portrait area (and back)
    int pictureWidth = 0, pictureHeight = 0;  // pixels
    double pictureDpiX = 72, pictureDpiY = 72;  // the picture's own resolution
    int areaWidth = 0, areaHeight = 0;        // colour raster, pixels
    double areaDpiX = 720, areaDpiY = 720;    // colour raster resolution
};

struct Placement {
    bool rotate = false;           // a quarter turn anticlockwise before scaling (the top to the left)
    double scaleX = 1, scaleY = 1; // turned picture pixels to colour pixels
    int width = 0, height = 0;     // scaled picture, colour pixels
    int left = 0, top = 0;         // its top-left corner on the area (negative: cropped)
};

Placement PlacePicture(const PlaceRequest& request);

}  // namespace rip
