#pragma once

// Every command calls this first, before it prints anything: from then on
// standard output and standard error carry the bytes written to them
// unchanged on every system (Windows would turn each "\n" into "\r\n"),
// and a Windows console shows them as UTF-8 until the command ends.
void use_binary_standard_streams();

// Sends standard output nowhere (the system's null device); false when it
// cannot. For programs that run the commands' code without wanting their
// reports, such as the fuzz target.
bool discard_standard_output();
