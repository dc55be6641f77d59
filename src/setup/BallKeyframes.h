// Ball-in-hand keyframe tracks: the path of the ball relative to its holder
// through each animation that carries it (at the hip, lifted for a pass,
// dropped for a kick). Filled once at set-up, read by the ball step.
#pragma once

#include "core/Arrays.h"

struct TBallKey {
  f32 Fraction;                  // 0 at the first keyframe, 1 at the last
  f32 OffsetX, OffsetY, OffsetZ;  // from the holder, in his own frame; y up
  // Radians. The first keyframe holds the starting angles, every later one
  // the change since the keyframe before.
  f32 Rot1, Rot2, Rot3;
};

struct TBallKeyTrack {
  u16 KeyCount;
  Arr1<TBallKey, 50> Keys;
};

constexpr int kBallKeyTrackCount = 100;
constexpr int kFilledBallKeyTracks = 90;  // tracks above stay empty

extern Arr1<TBallKeyTrack, kBallKeyTrackCount> BallKeyTracks;

// Fills BallKeyTracks from the constant table; call once before the first frame.
void BuildBallKeyframes();
