// Finding a value between two literal markers.
#pragma once

#include <stdint.h>

#include "config/text.h"

// The bytes between the first `startMarker` found at or after the 1-based
// `startPosition` (0 and below count as 1) and the first `endMarker` after
// it, or the empty text. Scans step over two-byte units (a byte of 0x80 or
// above and the byte after it), and the placeholder "#引号" (936) inside a
// marker stands for a double quote. `ignoreCase` folds ASCII letters only.
Text textBetween(const Text& text, const Text& startMarker, const Text& endMarker,
                 int32_t startPosition, bool ignoreCase);
