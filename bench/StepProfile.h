// The time of every frame step, in the match world and on the look-ahead
// copies apart, as a physics engine's per-step profile: installed as the
// step runner (StepRunner), it reads the time stamp counter around each step
// and keeps the step's own time (less the steps it runs inside it, as the
// decision step runs the look-ahead's), so the rows add up to the time spent
// in steps.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/FrameSteps.h"
#include "core/TypeDefs.h"

#if defined(__x86_64__)
#include <x86intrin.h>
#endif

namespace step_profile {

constexpr int kMaxRows = 40;

struct TRow {
  TFrameStep Step;
  const char* Name;
  uint64_t Calls[2];  // [0] match world, [1] look-ahead copies
  uint64_t Ticks[2];  // own time, counter ticks
};

struct TProfile {
  TRow Rows[kMaxRows];
  int RowCount;
  uint64_t NestedTicks;  // whole time of the steps finished inside the running one
};

inline TProfile Profile;

inline uint64_t Ticks() {
#if defined(__x86_64__)
  return __rdtsc();
#else
  return static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
#endif
}

inline TRow& RowOf(const TFrameStepEntry& entry) {
  for (int i = 0; i < Profile.RowCount; ++i)
    if (Profile.Rows[i].Step == entry.Step) return Profile.Rows[i];
  // More distinct steps than rows: the last row takes the rest.
  if (Profile.RowCount == kMaxRows) return Profile.Rows[kMaxRows - 1];
  TRow& row = Profile.Rows[Profile.RowCount++];
  row = TRow{entry.Step, entry.Name, {0, 0}, {0, 0}};
  return row;
}

inline void TimedStep(const TFrameStepEntry& entry, TWorld& W) {
  const uint64_t outerNested = Profile.NestedTicks;
  Profile.NestedTicks = 0;
  const uint64_t start = Ticks();
  entry.Step(W);
  const uint64_t whole = Ticks() - start;
  TRow& row = RowOf(entry);
  const int world = &W == &World ? 0 : 1;
  row.Calls[world] += 1;
  row.Ticks[world] += whole - std::min(whole, Profile.NestedTicks);
  Profile.NestedTicks = outerNested + whole;
}

// Starts a profile: clears the rows and times every step from now on.
inline void Start() {
  Profile = TProfile{};
  StepRunner = TimedStep;
}

inline void Stop() { StepRunner = nullptr; }

// Prints both tables, each row with its share of `wallSeconds` (the whole
// stretch timed, `wallTicks` long on the counter), then what the steps
// leave: the driver, the recorder, the finish's files and, in the decision
// step's own time, the world copies and the samplers' bookkeeping.
inline void Print(std::FILE* out, double wallSeconds, uint64_t wallTicks) {
  const double secondsPerTick = wallTicks > 0 ? wallSeconds / static_cast<double>(wallTicks) : 0;
  double stepSeconds = 0;
  for (int world = 0; world < 2; ++world) {
    std::vector<const TRow*> rows;
    double sum = 0;
    for (int i = 0; i < Profile.RowCount; ++i) {
      if (Profile.Rows[i].Calls[world] == 0) continue;
      rows.push_back(&Profile.Rows[i]);
      sum += static_cast<double>(Profile.Rows[i].Ticks[world]) * secondsPerTick;
    }
    std::sort(rows.begin(), rows.end(), [world](const TRow* a, const TRow* b) { return a->Ticks[world] > b->Ticks[world]; });
    std::fprintf(out, "%s: %.3f s in steps, %.1f %% of %.3f s\n",
                 world == 0 ? "match world" : "look-ahead copies", sum, wallSeconds > 0 ? 100.0 * sum / wallSeconds : 0,
                 wallSeconds);
    std::fprintf(out, "  %-26s %12s %10s %7s %10s\n", "step", "calls", "own ms", "share", "ns/call");
    for (const TRow* r : rows) {
      const double s = static_cast<double>(r->Ticks[world]) * secondsPerTick;
      std::fprintf(out, "  %-26s %12llu %10.1f %6.1f%% %10.0f\n", r->Name,
                   static_cast<unsigned long long>(r->Calls[world]), 1e3 * s,
                   wallSeconds > 0 ? 100.0 * s / wallSeconds : 0, 1e9 * s / static_cast<double>(r->Calls[world]));
    }
    stepSeconds += sum;
  }
  std::fprintf(out, "outside the steps (driver, recorder, finish and files): %.3f s, %.1f %%\n",
               wallSeconds - stepSeconds, wallSeconds > 0 ? 100.0 * (wallSeconds - stepSeconds) / wallSeconds : 0);
}

}  // namespace step_profile
