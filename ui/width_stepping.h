// What one step of the up-down arrows of 编辑框1 does to the box's text.
#pragma once

#include <stdint.h>

#include "config/text.h"

// Range the up-down arrows of 编辑框1 step within.
constexpr int32_t kWidthStepLowest = 0;
constexpr int32_t kWidthStepHighest = 848;

// The text read as atoi reads it: white space (09 to 0D, 20) skipped, one
// optional sign, then decimal digits up to the first other byte; no digits
// give 0. Wraps around modulo 2^32 without an overflow check.
int32_t leadingInteger(const Text& text);

// One step from `n`, always by 1, kept within 0..848: a step up that leaves
// the range gives 0, a step down that leaves it gives 848.
int32_t steppedWidth(int32_t n, bool up);

// `value` in plain decimal, as printf's "%d" writes it.
Text decimalText(int32_t value);

// The box's new text after one step from `current`.
Text steppedWidthText(const Text& current, bool up);
