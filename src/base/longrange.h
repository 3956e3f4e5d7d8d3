// LONG has 32 bits on every target while the C library's long may have 64:
// numbers read from text are brought into LONG's range as a 32-bit strtol
// would bring them, so every target reads the same text as the same value.
#pragma once

#include <limits>

#include "base/wintypes.h"

const LONG kLongMin = std::numeric_limits<LONG>::min();
const LONG kLongMax = std::numeric_limits<LONG>::max();

inline LONG SaturateLong(long long value) {
    if (value < kLongMin) return kLongMin;
    if (value > kLongMax) return kLongMax;
    return static_cast<LONG>(value);
}
