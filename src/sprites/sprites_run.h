#pragma once

// The whole run of lumerist-sprites for a command line: returns the exit
// status, 0 after writing its files and report, -1 after the usage text or
// any failure.
int run_sprites(int argc, char** argv);
