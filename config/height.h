// The height that keeps a typed width at 4:3.
#pragma once

#include "config/text.h"

// Reads `widthText` as a wrapping signed 32-bit integer (full-width digits,
// signs and spaces of code page 936 count as ASCII) and returns three
// quarters of it, halves rounded away from zero, as plain decimal text
// (the "%.13g" form of the rounded height). Empty only when memory cannot be had.
Text heightForWidth(const Text& widthText);
