// Model-1 (R2000) print-mode table: which media, black inks and resolutions the printer
// serves, with the media id, dot size and print-method ids sent for each.
#pragma once

struct PrintModeRow {
    const char* media;       // media name as the page lists it
    int mediaId;             // first argument of MI
    int photoBlack;          // 1: row serves black-ink mode 0 (photo black)
    int matteBlack;          // 1: row serves black-ink mode 1 (matte black)
    const char* resolution;  // print-method name, "HxV" dpi
    int quality;             // 1 Economy, 2 Fine, 3 Photo, 4 Super Photo
    int dotSize;             // argument of ESC ( e
    int methodA5;            // ESC ( m for "ISO A5"
    int methodOther;         // ESC ( m for every size not named here
    int methodLarge;         // ESC ( m for "ISO A3" and larger
};

// Whether `row` is offered for black-ink mode `inkMode` (0 photo, 1 matte; no other mode has
// rows) at the print method named `method`.
bool ServesInkAndMethod(const PrintModeRow& row, int inkMode, const char* method);

extern const PrintModeRow kModel1PrintModes[];
extern const int kModel1PrintModeCount;
