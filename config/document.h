// The one document Korvalen writes, and where it lies below a folder.
#pragma once

#include "config/text.h"

// The file's path below the application-data folder (62 bytes).
extern const char kVideoConfigRelativePath[];

// `folder` + a backslash unless it already ends in one + the relative path.
// An empty folder (the lookup failed) gives the relative path alone.
Text joinVideoConfigPath(const Text& folder);

// The fixed ten-line document with the width and height inserted; "&", "<"
// and ">" in a value are written as entities so typed text cannot add markup.
Text composeVideoConfig(const Text& width, const Text& height);
