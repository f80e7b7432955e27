#pragma once

// The whole run of the tool for a command line: returns the exit status,
// 0 after a complete export, 255 after the banner or any failure.
int run(int argc, char** argv);
