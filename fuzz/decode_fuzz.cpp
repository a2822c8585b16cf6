// libFuzzer target: any byte string must decode to a result or a fault, never a crash or a hang,
// and every rendering of the result must work on it.
#include <cstddef>
#include <cstdint>

#include "decode/Decoder.h"
#include "decode/Listing.h"
#include "decode/PageImage.h"
#include "decode/Summary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DecodeOptions options;
    // Small limits keep every run fast; the limit checks themselves are what is being tested.
    options.maxRows = 1 << 12;
    options.maxColumns = 1 << 12;
    options.maxPlaneBytes = 16u << 20;
    options.maxListingBytes = 16u << 20;
    const DecodeResult r = Decode(data, size, options);
    if (r.error && r.error->offset > size) __builtin_trap();
    for (const StreamCommand& c : r.commands)
        if (c.offset + c.length > size) __builtin_trap();
    (void)Listing(r);
    (void)SummaryText(r);
    (void)SummaryJson(r);
    // The preview's time and memory follow the stored dots, so every page is rendered.
    for (const DecodedPage& page : r.pages) (void)RenderPreview(page, 64);
    return 0;
}
