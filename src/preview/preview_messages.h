#pragma once

#include <string>

#include "preview/compare.h"
#include "preview/preview_pictures.h"
#include "snapshot/read_snapshot.h"

// What lumerist-preview says.

void print_preview_usage(const char* program);

// "Preview written as ..." with the picture's source.
void print_preview_written(const std::string& picture, PictureSource source);

// The comparison's lines: how many pixels differ, each cause seen, and the
// picture written.
void print_comparison(const Comparison& comparison, const std::string& picture);

// Notes on standard error about a picture drawn from `snapshot`: RAM drawn
// where the character ROM belongs, a picture drawn from the registers of a
// program that uses the raster interrupt.
void print_picture_notes(const std::string& snapshot, const SnapshotReading& reading,
                         const PreviewPicture& shown);

// The picture named on the command line is some other file.
void print_not_a_png(const std::string& path);
