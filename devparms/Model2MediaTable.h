// Model-2 (R3000) media table: named media with their media id and allowed black inks.
// Row i (from 0) is page list index i + 1; index 0 of the page's list is "User".
#pragma once

struct MediaRow {
    const char* name;  // media name as the page lists it
    int mediaId;       // first argument of MI
    int third;         // kept with the row; read by no operation
    int photoBlack;    // 1: may print with photo black (inkMode 1)
    int matteBlack;    // 1: may print with matte black (inkMode 2)
};

extern const MediaRow kModel2Media[];
extern const int kModel2MediaCount;
