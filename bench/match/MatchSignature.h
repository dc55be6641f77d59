// The engine's behaviour in one line: a few whole matches of the example
// input, each from a fixed seed, played in one process. Any change of
// behaviour changes the line, so a commit that moves it on purpose says so.
#pragma once

#include <string>

#include "core/Arrays.h"

inline constexpr u32 kSignatureSeeds[] = {101, 202, 303};

// "matches 3 frames F scores a-b c-d e-f exits 0 0 0 hash h files m": the
// match frames of all matches, each match's scores and exit status, one
// 64-bit hash (hexadecimal) of every match frame's player and ball positions
// and of each match's message list, and the MD5 of the MD5s of every file
// each match wrote (outputs and run log, by name), so that a change to any
// written byte shows. The matches are played on a fixed date. Further parts
// are appended at the end.
std::string MatchSignature();
