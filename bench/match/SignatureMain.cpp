// Prints the match signature: build/match_signature
#include <cstdio>

#include "match/MatchSignature.h"

int main() {
  std::printf("%s\n", MatchSignature().c_str());
  return 0;
}
