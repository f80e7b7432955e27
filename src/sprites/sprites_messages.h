#pragma once

#include <string>

#include "sprites/sprite_rip.h"

// What lumerist-sprites says.

void print_sprites_usage(const char* program);

// The report block: the bank and pointers, a line for each sprite, the
// files written, between rule lines. `dataPath` is printed only when a
// sprite is enabled.
void print_sprites_report(const SpriteRip& rip, const std::string& dataPath,
                          const std::string& sheetPath);

// The sprite data file cannot be written, or would overwrite an input.
void print_data_failure(const std::string& path);
