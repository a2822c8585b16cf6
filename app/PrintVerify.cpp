#include "app/PrintVerify.h"

#include <cstdio>

#include "app/Models.h"
#include "devparms/Head.h"
#include "devparms/PrintMethodParms.h"
#include "host/CString.h"
#include "host/Platform.h"
#include "output/ColorCodes.h"

namespace {
constexpr double kMmPerInch = 25.4;

// Field 7 of the print method's parameter string: every set pixel prints as value 1.
bool SingleDotSize(const CPrintEnv& store)
{
    CStringList fields;
    ReadPrintMethodFields(&store, &fields);
    return fields.GetCount() >= kSingleDotSizeField && Atoi(fields.GetAt(kSingleDotSizeField - 1)) != 0;
}

uint8_t InkCode(const PrintedJob& job, int color)
{
    const bool photoBlack = job.store->GetInt(ModelOptionKey(1, "inkMode").c_str(), 0) == 0;
    if (job.modelId == 1 && color == 0 && photoBlack) return kPhotoBlackColorCode;
    return RasterColorCode(color);
}
}  // namespace

std::string ModelOptionKey(int modelId, const char* name)
{
    return std::string(ModelById(modelId).keyPrefix) + name;
}

VerifyReport VerifyPrintedJob(const PrintedJob& job, const std::function<std::string()>& printUnmasked)
{
    // The driver places the device's top offset as empty rows before the first row.
    const int topRows = static_cast<int>(kTopOffsetMm * job.resY / kMmPerInch + 0.5);
    std::vector<VerifyPlane> planes;
    for (const JobPlane& p : *job.planes) {
        planes.push_back(PlaneFromPacked(InkCode(job, p.color), p.width, p.height, p.packed.data(),
                                         static_cast<size_t>(p.rowBytes), job.bits, topRows));
    }

    if (job.store->GetInt(ModelOptionKey(job.modelId, "bEnableBrokenNozzles").c_str(), 0) != 0) {
        bool broken[kNozzles];
        for (int k = 0; k < kNozzles; ++k) {
            const std::string key = ModelOptionKey(job.modelId, ("bBrokenNozzle_" + std::to_string(k)).c_str());
            broken[k] = job.store->GetInt(key.c_str(), 0) != 0;
        }
        const std::string unmasked = printUnmasked();
        const DecodeResult reference = Decode(reinterpret_cast<const uint8_t*>(unmasked.data()), unmasked.size());
        if (!reference.Ok()) {
            VerifyReport report;
            report.error = "the job printed without the broken-nozzle simulation did not decode: " +
                           reference.error->Text();
            return report;
        }
        for (VerifyPlane& v : planes) {
            v.expectMissing.assign(static_cast<size_t>(v.width) * static_cast<size_t>(v.height), 0);
            const InkPlane* printed = reference.pages.empty() ? nullptr : reference.pages[0].Plane(v.ink);
            if (!printed) continue;
            for (int32_t y = 0; y < v.height; ++y)
                for (int32_t x = 0; x < v.width; ++x) {
                    const auto origin = printed->Origin(y + v.pageRow, x + v.pageColumn);
                    if (origin && origin->nozzle < kNozzles && broken[origin->nozzle])
                        v.expectMissing[static_cast<size_t>(y) * static_cast<size_t>(v.width) + static_cast<size_t>(x)] = 1;
                }
        }
    }

    VerifyOptions options;
    options.singleDotSize = SingleDotSize(*job.store);
    DecodeOptions decodeOptions;
    decodeOptions.trackOrigins = false;
    return VerifyStream(reinterpret_cast<const uint8_t*>(job.bytes->data()), job.bytes->size(), planes, options,
                        decodeOptions);
}
