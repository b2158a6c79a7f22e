// Locating, reading and writing the client's bigvideoconfig.xml (Win32).
#pragma once

#include <stdint.h>

#include "config/text.h"

// Win32 error code of the step that failed; 0 (ERROR_SUCCESS) on success.
using WriteResult = uint32_t;

// Full path of the file below the user's application-data folder, which is
// never created; the relative path alone when the shell cannot give the folder.
Text locateVideoConfig();

// The file's bytes up to the first zero byte, or empty when it cannot be read
// (missing, empty, 2 GiB or more, or open elsewhere for writing or without
// read sharing). Others may read the file meanwhile but not write it.
Text readVideoConfig(const Text& path);

// Replaces the file with `document` in one step, through a temporary file in
// the same folder. On failure the file keeps its bytes (or stays absent) and
// no temporary file is left. Creates no folder. A read-only file, or one that
// any other handle holds open, is refused at once (ERROR_ACCESS_DENIED,
// ERROR_SHARING_VIOLATION); an empty path gives ERROR_INVALID_PARAMETER and a
// write that runs out of room ERROR_DISK_FULL.
WriteResult writeVideoConfig(const Text& path, const Text& document);
