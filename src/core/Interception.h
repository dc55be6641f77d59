// Where a chaser meets a moving target, whether a chaser catches a runner
// before the touchline, where a player first reaches a ball in flight, which
// throw targets ahead of a runner a thrower can reach, and how two bodies move
// on after contact. Pure functions of their arguments (the chase also reads
// the pitch width of the match world `World`); degenerate geometry falls back
// to the stated defaults.
#pragma once

#include "core/TypeDefs.h"

// The point where a chaser running straight meets a target running along
// TargetHeading. A chaser no faster than the target is given its speed plus
// 0.1 m/s; a zero closing speed counts as 1e-5 m/s.
TVector2 InterceptPoint(f32 TargetHeading, f32 TargetX, f32 TargetZ, f32 TargetSpeed, f32 TargetAccel,
                        f32 TargetMaxSpeed, f32 ChaserX, f32 ChaserZ, f32 ChaserSpeed, f32 ChaserAccel,
                        f32 ChaserMaxSpeed, f32 PitchWidth, bool32 TargetAccelerates, bool32 ChaserAccelerates,
                        bool32 KeepInField);

struct TChaseResult {
  f32 CarrierX, CarrierZ;
  f32 ChaserX, ChaserZ;
  bool32 Caught, Escaped;
  f32 Time;           // s
  f32 ChaserHeading;  // degrees
  i32 Id;             // the caller's, handed back
};

// A time-stepped chase of a carrier by a chaser running from his start point
// at the carrier's present position, until caught, escaped over a touchline
// (with TouchCheck) or MaxTime passed.
TChaseResult SimulateChase(f32 CarrierX, f32 CarrierZ, f32 CarrierHeading, f32 CarrierSpeed, f32 CarrierAccel,
                           f32 CarrierCapA, f32 CarrierCapB, f32 ChaserX, f32 ChaserZ, f32 ChaserSpeed,
                           f32 ChaserAccel, f32 ChaserTopA, f32 ChaserTopB, f32 MaxTime, f32 TimeStep, f32 Reach,
                           f32 TouchMargin, bool32 TouchCheck, i32 Id);

struct TCatchResult {
  f32 x, z;
  bool32 Found;
};

// The earliest ball point, on a grid of TimeStep up to MaxTime, below
// CatchHeight that the player can reach in time; else the last point looked
// at with Found clear.
TCatchResult BallCatchPoint(f32 BallVX, f32 BallVY, f32 BallVZ, f32 BallX, f32 BallY, f32 BallZ, f32 PlayerX,
                            f32 PlayerZ, f32 PlayerSpeed, f32 PlayerAccel, f32 PlayerMaxSpeed, f32 MaxTime,
                            f32 TimeStep, f32 Reach, f32 CatchHeight, f32 PlayerHeading, f32 TurnRate,
                            bool32 UseAccel, bool32 UseTurn);

// Fills Table with the throws to Count points spread over Reach ahead of a
// runner that need no more than MaxLaunchSpeed, packed from entry 1; every
// other entry is left invalid. The head of the table is not touched.
void ThrowTargetsAlongRun(f32 RunnerX, f32 RunnerZ, f32 TargetY, f32 RunnerSpeed, f32 RunnerAccel,
                          f32 RunnerMaxSpeed, f32 RunnerHeading, f32 ThrowerX, f32 ThrowerZ, f32 ThrowerY,
                          f32 MaxLaunchSpeed, f32 Reach, i32 Count, TThrowTargetTable& Table);

// The same fill made a few entries at a time, for a caller that may stop as
// soon as it has read what it needs: StartThrowTargets clears the table like
// ThrowTargetsAlongRun, and each FillThrowTargets call goes on until entry
// UpTo is filled or the points run out (Done). Entries filled are bit for bit
// those of ThrowTargetsAlongRun.
struct TThrowTargetFill {
  f32 Step;         // m between points
  double ux, uz;    // the run's direction
  i32 Point;        // next point asked for, 1..Count
  i32 Entry;        // next entry to fill
  bool Done;        // no points left, or the table is full
};
TThrowTargetFill StartThrowTargets(f32 RunnerHeading, f32 Reach, i32 Count, TThrowTargetTable& Table);
void FillThrowTargets(f32 RunnerX, f32 RunnerZ, f32 TargetY, f32 RunnerSpeed, f32 RunnerAccel, f32 RunnerMaxSpeed,
                      f32 ThrowerX, f32 ThrowerZ, f32 ThrowerY, f32 MaxLaunchSpeed, i32 Count, i32 UpTo,
                      TThrowTargetFill& Fill, TThrowTargetTable& Table);

struct TSpeedHeading {
  f32 Speed;
  f32 Heading;  // degrees
};

// The common motion of two bodies that move on together; two standing bodies
// move off along the mass-weighted mean of their headings.
TSpeedHeading CombineMomentum(f32 M1, f32 S1, f32 H1, f32 M2, f32 S2, f32 H2);

struct TCollisionResult {
  TSpeedHeading Body1, Body2;
};

// The bounce of two players after contact along the line of their centres;
// P1Old and P2Old are the positions one frame earlier. Body 2 is always taken
// as moving; the extra impulse is ImpulseA x ImpulseB.
TCollisionResult ResolveCollision(TVector2 P1Old, TVector2 P1, f32 S1, f32 M1, f32 ImpulseA, f32 ImpulseB,
                                  TVector2 P2Old, TVector2 P2, f32 S2, f32 M2, f32 Restitution,
                                  bool32 Body1Moving, bool32 UseImpulse);
