// Floating-point errors (invalid operation, division by zero, overflow)
// inside a frame end the match like any exception. The sticky flags are
// cleared before a step and tested after it.
#pragma once

#include <cfenv>
#include <stdexcept>
#include <string>

struct TFloatingPointError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

inline void ClearFloatFlags() { std::feclearexcept(FE_ALL_EXCEPT); }

// Raises when one of the error flags is set; `where` names the step.
inline void CheckFloatFlags(const char* where) {
  const int raised = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  if (raised == 0) return;
  const char* what = (raised & FE_INVALID)     ? "Invalid floating point operation"
                     : (raised & FE_DIVBYZERO) ? "Floating point division by zero"
                                               : "Floating point overflow";
  throw TFloatingPointError(std::string(what) + " in " + where);
}
