// Parsing of the job options that several commands share.
#pragma once
#include <string>

#include "host/HostTypes.h"
#include "host/PrintEnv.h"
#include <vector>

// "HxV" in dpi, e.g. "1440x720"; throws CommandError otherwise.
void ParseMethod(const std::string& method, double* h, double* v);
// "L,T,R,B" in mm, each a non-negative number; throws CommandError otherwise.
CDRc ParseMargins(const std::string& text);

// The store a job runs on: the settings file, then the --set assignments, then the host's
// entries for the job (model, print method, media size). Warns of device options out of range.
void LoadJobStore(CPrintEnv& store, const std::string& settingsFile, const std::vector<std::string>& sets,
                  int modelId, const std::string& method, const char* mediaSizeName);
