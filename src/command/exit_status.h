#pragma once

// The two exit statuses of every command: 0 when everything asked for was
// written, -1 (255 to a shell) after a usage text or any failure.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = -1;
