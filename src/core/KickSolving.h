// Turning intentions into launch parameters for SimulateBallFlight: a search
// for a kick that meets a goal, and conversions of a ball's velocity into
// launch angles for a rebound or a bounce.
#pragma once

#include "core/TypeDefs.h"

// Launch of a ball: speed (m/s), elevation (degrees above the horizontal,
// negative downwards) and heading (degrees).
struct TLaunchParams {
  f32 Speed, Elevation, Heading;
};

// Goals of FindKick (its Mode argument, compared as an exact real).
constexpr f32 kKickModeFirst = 0.0f;       // take the first candidate
constexpr f32 kKickModeInField = 1.0f;     // land in the field of play or an in-goal
constexpr f32 kKickModeBeyond10 = 2.0f;    // as 1 and beyond z = 10 m
constexpr f32 kKickModeAtGoal = 3.0f;      // over the crossbar
constexpr f32 kKickModeNearPoint = 4.0f;   // land near (TargetX, TargetZ)
constexpr f32 kKickModeFindTouch = 5.0f;   // find touch near TargetX

// Plain conversion of a velocity; Speed is scaled by Factor when Scale is
// set. A zero or non-finite vector gives (0, 0, 0).
TLaunchParams VelocityToLaunchAngles(bool Scale, f32 Vx, f32 Vy, f32 Vz, f32 Factor);

// A ball rebounding off a player: it goes back the way it came at Factor of
// its speed; when Moving, the player's momentum (PlayerSpeed x PlayerFactor
// along PlayerHeading) is added to the ball's horizontal momentum.
TLaunchParams LaunchAnglesWithMotion(bool Moving, f32 Vx, f32 Vy, f32 Vz, f32 Factor,
                                     f32 PlayerSpeed, f32 PlayerFactor, f32 PlayerHeading,
                                     f32 BallMass);

// A bouncing ball with random error. Draws, in this order: the elevation
// error, a coin for a 15 degree change, the speed factor, the heading error;
// each draw is kept in its record's `value`. A zero or non-finite vector
// gives (0, 0, 0) and draws nothing.
TLaunchParams VelocityToLaunchWithError(TDistribution& SpeedFactor, TDistribution& ElevationError,
                                        TDistribution& HeadingError, f32 Vx, f32 Vy, f32 Vz);

// The same with an error triple in record order (speed factor, elevation
// error, heading error), such as the world's `BounceErrors`.
TLaunchParams VelocityToLaunchWithError(Arr1<TDistribution, 3>& Errors, f32 Vx, f32 Vy, f32 Vz);

// Searches up to Tries random kicks from (X, Y, Z) within the ranges for
// one that meets Mode's goal. Reads the pitch and goal constants and the
// clock of the match world. Argument 16 is accepted and not used.
TLaunchParams FindKick(i32 Tries, bool HeadingGrid, bool CapSpeed, f32 X, f32 Y, f32 Z,
                       f32 SpeedLow, f32 SpeedHigh, f32 ElevationLow, f32 ElevationHigh,
                       f32 HeadingLow, f32 HeadingHigh, f32 Mode, f32 TargetX, f32 TargetZ,
                       f32 Unused, f32 PitchWidth, f32 PitchLength, f32 MaxSpeed);
