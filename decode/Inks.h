// The inks of the R2000/R3000 as named by the colour byte of a raster block (ESC i).
#pragma once
#include <cstdint>
#include <string>

struct InkInfo {
    uint8_t code;          // ESC i colour byte
    const char* name;      // short name, also used for file names ("LC")
    const char* longName;  // for listings ("light cyan")
    uint8_t rgb[3];        // display colour of a full-coverage dot
};

// The entry for a colour byte; codes without an entry get a generic one named "X<hex>".
InkInfo LookupInk(uint8_t code);

// Short name of an ink: "C", "PK", or "X3F" for a code without a name.
std::string InkName(uint8_t code);

// Position of a known ink in the display order (black first, then colours, then the rest);
// unknown codes sort after every known ink, by code.
int InkOrder(uint8_t code);
