// Floating-point errors (invalid operation, division by zero, overflow)
// inside a frame end the match like any exception. The sticky flags are
// cleared before a step and tested after it.
#pragma once

#include <cfenv>
#include <stdexcept>
#include <string>

#if defined(__x86_64__) && defined(__SSE2__)
#include <xmmintrin.h>
#endif

struct TFloatingPointError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The flags are cleared and tested around every frame step, on the match
// world and every look-ahead frame, so on x86-64 both run inline: the same
// flags as feclearexcept(FE_ALL_EXCEPT) and fetestexcept, in both the x87
// status word (long double and some library functions) and the SSE control
// register, without the library's full environment save and load.
#if defined(__x86_64__) && defined(__SSE2__)
inline void ClearFloatFlags() {
  __asm__ volatile("fnclex" ::: "memory");
  const unsigned csr = _mm_getcsr();
  if ((csr & FE_ALL_EXCEPT) != 0) _mm_setcsr(csr & ~static_cast<unsigned>(FE_ALL_EXCEPT));
}

inline int RaisedFloatFlags(int flags) {
  unsigned short status = 0;
  __asm__ volatile("fnstsw %0" : "=am"(status) : : "memory");
  return static_cast<int>((status | _mm_getcsr()) & static_cast<unsigned>(flags));
}
#else
inline void ClearFloatFlags() { std::feclearexcept(FE_ALL_EXCEPT); }

inline int RaisedFloatFlags(int flags) { return std::fetestexcept(flags); }
#endif

// Raises when one of the error flags is set; `where` names the step.
inline void CheckFloatFlags(const char* where) {
  const int raised = RaisedFloatFlags(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  if (raised == 0) return;
  const char* what = (raised & FE_INVALID)     ? "Invalid floating point operation"
                     : (raised & FE_DIVBYZERO) ? "Floating point division by zero"
                                               : "Floating point overflow";
  throw TFloatingPointError(std::string(what) + " in " + where);
}
