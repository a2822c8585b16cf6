// `rphoto print PICTURE`: a JPEG, PNG, TIFF, WebP or PDF page printed through the raster
// image processor (rip/) and the driver module.
#pragma once
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "host/HostTypes.h"

struct PictureOptions {
    bool fit = false;                 // the default placement; the flag only says so
    bool fill = false;
    double scale = 0;                 // percent of the picture's own size; 0: fit
    bool noRotate = false;
    int page = 1;
    std::string intent = "relative";
    std::string halftone = "diffusion";
    std::string paper;
    std::string savePlanes;
    int threads = 0;
    unsigned seed = 1;
};

// What the print command's common options say about the job.
struct PrintRequest {
    int modelId = 2;
    std::string method;
    double resX = 1440, resY = 720;
    std::string mediaSize;
    double mediaWidthMm = 210, mediaLengthMm = 297;
    CDRc margins{3, 3, 3, 3};
    std::string settingsFile;
    std::vector<std::string> sets;
    int compression = 1;
    bool quiet = false;
    std::string jobName;
    std::string output;
    std::string module;
};

// Adds the picture options to `print`.
void AddPictureOptions(CLI::App& app, PictureOptions& options);
// True when the files are one picture rather than halftoned planes (PBM, or PGM with maxval
// 1 or 3), judged by their content.
bool IsPictureJob(const std::vector<std::string>& files);
// Prints the picture; returns the exit code or throws CommandError.
int RunPicturePrint(const PrintRequest& request, const PictureOptions& options, const std::string& picture);
