// The engine's behaviour in one line: three whole seeded matches of the
// example input (bench/match/MatchSignature.h). A change of behaviour moves
// the line; a commit that moves it on purpose updates kExpected and says so
// in its message.
#include <gtest/gtest.h>

#include "match/MatchSignature.h"

namespace {

const char* const kExpected =
    "matches 3 frames 369019 scores 3-3 26-14 15-19 exits 0 0 0 hash 255ffd6ffddb9b57 files "
    "29c2c2456f6fb921e537799520a88bc3";

TEST(MatchSignature, ThreeSeededMatchesGiveTheExpectedLine) {
#if defined(__SANITIZE_ADDRESS__)
  // Three whole matches take some ten minutes under the sanitizers; the
  // release build holds the line, and bench/time-match.sh -a plays whole
  // matches under the sanitizers.
  GTEST_SKIP() << "whole matches are checked in the release build";
#endif
  EXPECT_EQ(MatchSignature(), kExpected);
}

}  // namespace
