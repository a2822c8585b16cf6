// The driver and output tests' rig: a device-parameter object the test controls, planes held in
// memory and a page runner.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "devparms/CEpsonRPhotoDevParmsBase.h"
#include "driver/CEpsonPhotoR2000.h"
#include "driver/CEpsonPhotoR3000.h"
#include "host/HostTypes.h"
#include "host/OutputSink.h"
#include "host/PrintEnv.h"
#include "support/TestSupport.h"

namespace engine_test {

using test_support::Block;
using test_support::Hex;
using test_support::PackRow;
using test_support::ReadRaster;
using Stream = test_support::Raster;

// Device parameters whose geometry and weave flags the test sets directly.
class TestParms : public CEpsonRPhotoDevParmsBase {
public:
    TestParms() : CEpsonRPhotoDevParmsBase("DPT_", nullptr) {}
    void Load(CPrintEnv*) override {}
    void Save(CPrintEnv*) override {}
};

using test_support::MemoryPlane;

// Pixel values of a page: planes x rows x pixels, values 0..3.
struct Page {
    int width = 0;
    int height = 0;
    std::vector<std::vector<std::vector<uint8_t>>> px;  // [plane][row][x]

    Page(int planes, int w, int h) : width(w), height(h), px(planes, std::vector<std::vector<uint8_t>>(h, std::vector<uint8_t>(w, 0))) {}
    int Planes() const { return static_cast<int>(px.size()); }
    bool RowEmpty(int y) const
    {
        for (const auto& plane : px)
            for (uint8_t v : plane[y])
                if (v) return false;
        return true;
    }
};

struct JobParams {
    int model = 2;
    double resX = 720, resY = 720;
    double nozzleResH = 360;
    int bits = 2;
    int compression = 0;
    int weave = 0;
    int inkMode = 0;
    std::vector<int> colors;  // host colour id per plane
};

// A driver of either model around TestParms, writing into a MemorySink.
struct Rig {
    CPrintEnv env;
    TestParms parms;
    MemorySink sink;
    std::unique_ptr<CEpsonRPhotoBase> driver;
    std::vector<MemoryPlane> planes;
    CPrintJobOpenContext ctx{CString("ctx")};

    explicit Rig(const JobParams& p, int width = 64)
    {
        parms.dNozzleResH = p.nozzleResH;
        parms.bEnableWeave = p.weave;
        if (p.model == 1) {
            auto* d = new CEpsonPhotoR2000(&env, &parms);
            d->m_nInkMode = p.inkMode;
            driver.reset(d);
        } else {
            driver.reset(new CEpsonPhotoR3000(&env, &parms));
        }
        Setup(p, width);
    }
    void Setup(const JobParams& p, int width)
    {
        JobSetup setup;
        setup.dResX = p.resX;
        setup.dResY = p.resY;
        setup.nPixelBits = p.bits;
        setup.nJobPixelWidth = width;
        setup.colors = p.colors.empty() ? std::vector<int>{0} : p.colors;
        setup.nCompression = p.compression;
        setup.jobName = "job";
        planes.assign(setup.colors.size(), MemoryPlane());
        std::vector<CRasterPixelBuffer*> ptrs;
        for (auto& plane : planes) ptrs.push_back(&plane);
        driver->SetupJob(setup, ptrs);
        driver->SetOutputSink(&sink);
    }
    // Runs a whole output of `page`: empty rows as runs, data rows one by one.
    int RunPage(const Page& page, int bits)
    {
        for (int c = 0; c < page.Planes(); ++c)
            for (int y = 0; y < page.height; ++y) planes[c].rows.push_back(PackRow(page.px[c][y], bits));
        driver->JobOpen(&ctx);
        driver->OutputInit(0, 0);
        int run = 0;
        for (int y = 0; y < page.height; ++y) {
            if (page.RowEmpty(y)) {
                for (auto& plane : planes) ++plane.next;
                ++run;
                continue;
            }
            if (run) driver->OutputEmptyRows(run);
            run = 0;
            driver->OutputDataRow();
        }
        if (run) driver->OutputEmptyRows(run);
        const int r = driver->OutputExit();
        driver->JobClose();
        return r;
    }
};

}  // namespace engine_test
