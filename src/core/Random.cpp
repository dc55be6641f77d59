#include "core/Random.h"

#include <cmath>
#include <numbers>

#include "core/Caches.h"

u32 RandSeed = 0;

namespace {

// A plain function, not a lambda, and its argument read back through a
// volatile: the compiler may work out a call on a constant itself at build
// time, with its own rounding. Neither call can raise more than inexact
// for these arguments.
void FillBoxMullerTable(TBoxMullerTable& T) {
  for (int k = 1; k < kUniformSteps; ++k) {
    volatile double stored = k / 1000.0;
    const double u = stored;
    T.Radius[k] = std::sqrt(-2.0 * std::log(u));
    T.Cosine[k] = std::cos(2.0 * std::numbers::pi * u);
  }
  T.Filled = true;
}

}  // namespace

f32 GaussianRandom(f32 Mean, f32 SD, f32 Min, f32 Max, bool32 UseMin, bool32 UseMax) {
  if (!BoxMullerTable.Filled) FillBoxMullerTable(BoxMullerTable);
  const TBoxMullerTable& f = BoxMullerTable;
  // Separate statements: u1 (the radius) is drawn first.
  const double r = f.Radius[RandomRange(1, 999)];
  const f32 z = static_cast<f32>(f.Cosine[RandomRange(1, 999)] * r);
  f32 v = static_cast<f32>(static_cast<double>(SD) * z + Mean);
  if (UseMin != 0 && v < Min) v = Min;
  if (UseMax != 0 && v > Max) v = Max;
  return v;
}

i32 WeightedRandomIndex(const i16* Weights, i32 Count) {
  i32 sum = 0;
  for (i32 k = 0; k < Count; ++k) sum += Weights[k];
  if (sum < 1) return 0;
  const i32 r = RandomRange(1, sum + 1);
  i32 running = 0;
  for (i32 k = 0; k < Count; ++k) {
    running += Weights[k];
    if (running >= r) return k + 1;
  }
  return 0;
}

i32 LevelChancePerMille(i32 Level) {
  switch (Level) {
    case 1: return 0;
    case 2: return 600;
    case 3: return 800;
    case 4: return 900;
    default: return 500;
  }
}

i32 RandomStateDelay(TGameState State) {
  switch (State) {
    case gsLineout:
    case gsGotTackled: return RandomRange(3, 6);
    case gsTryScored:
    case gsFreeBall: return RandomRange(3, 5);
    case gsKickRestartSet: return RandomRange(2, 5);
    case gsRunning: return 1;
    default: return 0;
  }
}

namespace {

// Kept unrounded: only the delay it is added into is stored.
double DrawReleaseDelay() { return RandomRange(100, 801) / 1000.0; }

// Gives each flagged entry of one wave Base + a drawn delay; returns the
// latest of them, 0 when none of the wave is flagged.
template <int N>
f32 ReleaseWave(const TPlayerList& Flags, const int (&entries)[N], f32 Base, TDelayList& Delays) {
  f32 latest = 0;
  for (int k : entries) {
    if (Flags[k] == 0) continue;
    Delays[k] = static_cast<f32>(Base + DrawReleaseDelay());
    if (Delays[k] > latest) latest = Delays[k];
  }
  return latest;
}

}  // namespace

TDelayList StaggeredRandomDelays(const TPlayerList& Flags) {
  TDelayList delays{};
  const f32 m1 = ReleaseWave(Flags, {7, 8, 9, 10}, 0.0f, delays);
  const f32 m2 = ReleaseWave(Flags, {4, 5, 6}, m1, delays);
  const f32 m3 = ReleaseWave(Flags, {1, 3}, m2, delays);
  ReleaseWave(Flags, {2}, m3, delays);
  return delays;
}
