// The device-parameter tests' job: a settings store, a media attachment and a driver base around
// a parameter object, writing into memory.
#pragma once
#include <cstdint>
#include <string>

#include "devparms/CEpsonRPhotoDevParmsBase.h"
#include "host/HostTypes.h"
#include "host/OutputSink.h"
#include "host/PrintEnv.h"
#include "host/PrinterDriver.h"

namespace devparms_test {

// One job: settings store, media attachment, driver base and the bytes it outputs.
struct Job {
    CPrintEnv env;
    CJobPrintAttach attach;
    MemorySink sink;
    CPrinterDriverBase* driver = nullptr;

    // Media 210 x 297 mm with 3 mm driver margins unless changed with SetMedia.
    Job() : attach(210, 297, CDRc{3, 3, 3, 3}, 0) {}
    ~Job()
    {
        // The parameter objects of these tests live on the stack, whoever owns them otherwise.
        if (driver) driver->m_pDevParms = nullptr;
        delete driver;
    }

    // Builds the driver around `parms` (which the base then loads from `env`).
    void Start(CUnivDevParmsBase* parms, double resX, double resY, const char* method,
               const char* sizeName = "ISO A4", int pixelWidth = 0, const char* jobName = "Job1")
    {
        env.PutString(PrEnv_PrintMethod.pszKey, method);
        env.PutString(PrEnv_DefaultMediaSizeName.pszKey, sizeName);
        if (driver) driver->m_pDevParms = nullptr;
        delete driver;
        driver = new CPrinterDriverBase(&env, parms);
        Resolution(resX, resY, pixelWidth, jobName);
        driver->SetJobPrintAttach(&attach);
        driver->SetOutputSink(&sink);
    }
    void Resolution(double resX, double resY, int pixelWidth = 0, const char* jobName = "Job1")
    {
        JobSetup setup;
        setup.dResX = resX;
        setup.dResY = resY;
        setup.nJobPixelWidth = pixelWidth;
        setup.jobName = jobName;
        driver->SetupJob(setup, {});
    }
    void SetMedia(double w, double l, CDRc margins, uint32_t flags = 0)
    {
        attach = CJobPrintAttach(w, l, margins, flags);
    }
};

}  // namespace devparms_test
