// What `tovrek view` tells about a run: the model's figures (--stats), the
// run's (frames, time, differing pixels), and both as one JSON object
// (--json) for scripts. It measures nothing itself.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "viewer/model.h"

struct Model_Figures {
    size_t meshes = 0;
    size_t vertices = 0;
    size_t triangles = 0;
    size_t lines = 0;      // line segments
    size_t points = 0;
    size_t materials = 0;  // used by the drawn meshes
    size_t textures = 0;   // decoded and drawn
    size_t textures_missing = 0;
    Model_Vector low = {0, 0, 0};   // the bounding box of the drawn vertices
    Model_Vector high = {0, 0, 0};
    size_t strips = 0;          // triangle strips of one frame
    size_t polylines = 0;       // the line segments joined into polylines
    size_t calls_per_frame = 0; // actions one frame sends, at most one strip per call
};

struct Run_Figures {
    std::string renderer;
    int frames = 0;
    double seconds = 0;
    bool compared = false;
    std::string compared_with;
    size_t differing = 0;  // in the worst frame
    size_t total = 0;
    int worst_frame = 0;   // from 1
    double percent() const { return total == 0 ? 0.0 : 100.0 * double(differing) / double(total); }
};

Model_Figures figures_of(const Model& model, size_t strips, size_t polylines, bool edges);

// The figures as `--stats` prints them, one per line.
void print_model_figures(std::FILE* stream, const Model_Figures& figures);

// One JSON object on one line: the model, its figures, each renderer's run
// and the comparison, and the exit status.
std::string json_report(const std::string& model_path, const Model_Figures& figures, const Run_Figures* runs,
                        size_t run_count, int status);
