// `rphoto print --verify`: decodes what a job wrote and checks every dot against its planes.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/JobRunner.h"
#include "decode/Verify.h"
#include "host/PrintEnv.h"

struct PrintedJob {
    const std::string* bytes = nullptr;          // the job as written
    const std::vector<JobPlane>* planes = nullptr;
    int bits = 2;
    int modelId = 1;
    double resY = 720;                           // dpi
    const CPrintEnv* store = nullptr;            // the job's settings
};

// Compares the printed dots with the planes. With the broken-nozzle simulation on,
// `printUnmasked` gives the same job printed with the simulation off; the dots its marked
// nozzles printed there are the ones expected missing.
VerifyReport VerifyPrintedJob(const PrintedJob& job, const std::function<std::string()>& printUnmasked);

// The settings key of a model's device option ("DP1_" or "DP2_" followed by the name).
std::string ModelOptionKey(int modelId, const char* name);
