// The one document Korvalen writes, and where it lies below a folder.
#pragma once

#include "config/text.h"

// The file's path below the application-data folder (62 bytes).
extern const char kVideoConfigRelativePath[];

// `folder` + a backslash unless it already ends in one + the relative path.
// An empty folder (the lookup failed) gives the relative path alone.
Text joinVideoConfigPath(const Text& folder);

// The fixed ten-line document (CR LF after lines 1 to 9, none after line
// 10) with the width and height inserted: 224 bytes plus the two values.
// "&", "<" and ">" in a value are written as
// "&amp;", "&lt;" and "&gt;" so typed text cannot add markup; every other
// byte is written as it is. Empty only when memory cannot be had.
Text composeVideoConfig(const Text& width, const Text& height);

// The inverse of the escaping above, for a value read back from the file:
// "&amp;", "&lt;" and "&gt;" become "&", "<" and ">" in one left-to-right
// pass; every other byte, other entities included, stays as it is. Without
// it a value holding "&" would grow by "amp;" on every save and start.
Text unescapeVideoConfigValue(const Text& value);
