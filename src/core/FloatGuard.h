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

constexpr int kFloatErrorFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

// The flags are cleared and tested around every frame step, on the match
// world and every look-ahead frame, so on x86-64 both run inline on the x87
// status word (long double and some library functions) and the SSE control
// register, without the library's environment save and load. Only the three
// error flags are tested; inexact and underflow, which most arithmetic sets,
// are left as they stand, and a register is written only when an error flag
// is set (almost never), since a write to either is slow.
#if defined(__x86_64__) && defined(__SSE2__)
inline unsigned short X87Status() {
  unsigned short status = 0;
  __asm__ volatile("fnstsw %0" : "=am"(status) : : "memory");
  return status;
}

inline void ClearFloatFlags() {
  if ((X87Status() & kFloatErrorFlags) != 0) __asm__ volatile("fnclex" ::: "memory");
  const unsigned csr = _mm_getcsr();
  if ((csr & kFloatErrorFlags) != 0) _mm_setcsr(csr & ~static_cast<unsigned>(FE_ALL_EXCEPT));
}

inline int RaisedFloatFlags(int flags) {
  return static_cast<int>((X87Status() | _mm_getcsr()) & static_cast<unsigned>(flags));
}
#else
inline void ClearFloatFlags() { std::feclearexcept(FE_ALL_EXCEPT); }

inline int RaisedFloatFlags(int flags) { return std::fetestexcept(flags); }
#endif

// Raises when one of the error flags is set; `where` names the step.
inline void CheckFloatFlags(const char* where) {
  const int raised = RaisedFloatFlags(kFloatErrorFlags);
  if (raised == 0) return;
  const char* what = (raised & FE_INVALID)     ? "Invalid floating point operation"
                     : (raised & FE_DIVBYZERO) ? "Floating point division by zero"
                                               : "Floating point overflow";
  throw TFloatingPointError(std::string(what) + " in " + where);
}
