#include "core/ScratchPoison.h"

#include <cstddef>
#include <cstring>

namespace {

// Poisons the bytes [from, to) of the record, the word's bytes laid by the
// place of each byte within its aligned 4-byte word, so that every 32-bit
// field holds the whole poison word wherever the range starts.
void Poison(TWorld& W, size_t from, size_t to) {
  static_assert(alignof(TWorld) % sizeof kScratchPoisonWord == 0);
  unsigned char word[sizeof kScratchPoisonWord];
  std::memcpy(word, &kScratchPoisonWord, sizeof word);
  auto* bytes = reinterpret_cast<unsigned char*>(&W);
  for (size_t at = from; at < to; ++at) bytes[at] = word[at % sizeof word];
}

}  // namespace

void PoisonScratch(TWorld& W) {
  const size_t line = offsetof(TWorld, ScratchLine);
  Poison(W, line, line + sizeof W.ScratchLine);
  Poison(W, offsetof(TWorld, ScratchPlayerList), offsetof(TWorld, FieldHalf));
}
