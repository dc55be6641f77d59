// The small world the step tests build on: the world zeroed (it is large,
// so tests keep it in static storage), a 100 x 70 m pitch, 15 players a
// side; in-goals and the frame length where the step reads them. A test then
// sets only what its step reads.
#pragma once

#include <cstring>

#include "core/TypeDefs.h"

constexpr f32 kSmallPitchLength = 100.0f;  // m, try line to try line
constexpr f32 kSmallPitchWidth = 70.0f;    // m, touch line to touch line
constexpr f32 kSmallInGoalDepth = 10.0f;   // m, behind each try line
constexpr f32 kSmallFrame = 0.04f;         // s, one frame

// The 100 x 70 m pitch alone: on a test's world, or on the match World for
// the functions that read the match's pitch.
inline void SetSmallPitch(TWorld& W) {
  W.PitchLength = kSmallPitchLength;
  W.PitchWidth = kSmallPitchWidth;
}

// What a scene has beyond the pitch and the team size.
struct TSmallWorld {
  bool InGoals = false;    // 10 m in-goals behind each try line
  bool Frame = false;      // this frame 0.04 s long
  bool LastFrame = false;  // the last frame 0.04 s long too
};

// W zeroed, then the pitch, 15 players a side and what With asks for.
// Everything else is zero: no state, no clock, every player at the centre
// spot.
inline void MakeSmallWorld(TWorld& W, TSmallWorld With = {}) {
  std::memset(&W, 0, sizeof W);
  SetSmallPitch(W);
  W.PlayersPerTeam = 15;
  if (With.InGoals) W.InGoalDepth = kSmallInGoalDepth;
  if (With.Frame) W.TimeStep = kSmallFrame;
  if (With.LastFrame) W.PrevTimeStep = kSmallFrame;
}

// Calls Set(P, b, p) for every player slot p (1 to 25, benches included) of
// both blocks b, so a test lays out both teams in one place.
template <typename F>
void ForEverySlot(TWorld& W, F Set) {
  for (int b = 1; b <= 2; ++b) {
    for (int p = 1; p <= 25; ++p) Set(W.Teams[b].Players[p], b, p);
  }
}

// P put at (x, z) on the ground, not moved this frame (OldPos there too);
// where he wants to be is left as it was.
inline void PutAt(TPlayer& P, f32 x, f32 z) {
  P.Pos = {x, 0.0f, z};
  P.OldPos = P.Pos;
}

// P standing at (x, z), where he wants to be.
inline void Place(TPlayer& P, f32 x, f32 z) {
  PutAt(P, x, z);
  P.DesiredPos = P.Pos;
}
