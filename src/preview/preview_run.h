#pragma once

// The whole run of lumerist-preview for a command line: returns the exit
// status, 0 after writing the PNG, 255 after the usage text or any failure.
int run_preview(int argc, char** argv);
