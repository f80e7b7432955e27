#pragma once

// The two exit statuses of every command: 0 when everything asked for was
// written, 255 after a usage text or any failure (on every system: -1
// would be 4294967295 on Windows).
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 255;
