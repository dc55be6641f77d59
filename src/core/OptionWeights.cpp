#include "core/OptionWeights.h"

#include "core/Rounding.h"

void NormaliseOptionWeights(TOptionFamily& Family) {
  // A zone row has 20 entries; a larger count would read past it.
  const int n = Family.OptionCount < 20 ? Family.OptionCount : 20;
  if (n <= 0) return;
  for (auto& row : Family.Weights) {
    i16 s = 0;
    for (int j = 1; j <= n; ++j) s = static_cast<i16>(s + row[j]);
    if (s < 1) {
      for (int j = 1; j <= n; ++j) row[j] = 50;
      s = static_cast<i16>(50 * n);
    }
    for (int j = 1; j <= n; ++j) row[j] = RoundToI16(static_cast<double>(row[j]) / s * 1000.0);
  }
}
