// The hash of the engine's name tables (animation names, rate rules): names
// are looked up for every player in every frame, so the hash takes eight
// bytes a step. Usable at compile time, for tables built then.
#pragma once

#include <cstdint>
#include <string_view>

constexpr uint32_t NameHash(std::string_view Name) {
  constexpr uint64_t kMix = 0xff51afd7ed558ccdull;
  uint64_t h = 0x9E3779B97F4A7C15ull ^ Name.size();
  size_t i = 0;
  // Whole words, little-endian; the compiler makes each one load.
  for (; i + 8 <= Name.size(); i += 8) {
    uint64_t w = 0;
    for (int k = 0; k < 8; ++k) w |= static_cast<uint64_t>(static_cast<uint8_t>(Name[i + k])) << (8 * k);
    h = (h ^ w) * kMix;
    h ^= h >> 32;
  }
  uint64_t tail = 0;
  for (int k = 0; i + k < Name.size(); ++k) tail |= static_cast<uint64_t>(static_cast<uint8_t>(Name[i + k])) << (8 * k);
  h = (h ^ tail) * kMix;
  h ^= h >> 29;
  return static_cast<uint32_t>(h);
}
