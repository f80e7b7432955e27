#pragma once

#include <string>

#include "export/outputs.h"

// The eight output paths for a snapshot, formed before anything is opened.
OutputNames make_output_names(const std::string& snapshotPath);
