// Whether a floating-point error (invalid, division by zero, overflow) was
// raised since the flags were last cleared.
#pragma once

#include <cfenv>

inline bool FloatErrorRaised() { return std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0; }
