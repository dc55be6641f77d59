// The error raised by the engine's own checks (a missing input file, a
// malformed number): its text is what the operator reads.
#pragma once

#include <stdexcept>
#include <string>

struct EEngineError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
