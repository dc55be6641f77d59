// Scores one look-ahead sample of a candidate set move.
#pragma once

#include "core/MoveBook.h"
#include "core/TypeDefs.h"

// The look-ahead's record of one sampled outcome. Positions are in the frame
// of the side that simulated (z grows towards the try line it attacks).
struct TSimResult {
  f32 EndBallX, EndBallZ;        // m, negated when possession changed
  f32 Gain;                      // m
  f32 SpaceAhead;                // m of clear ground ahead of the ball
  f32 EndContactTime;            // s
  u32 EndState;                  // TGameState in its low byte
  bool32 PossessionLost;
  bool32 WentToTouch;
  f32 SupportScore;
  f32 SimTime;                   // s
  i16 OwnScore;
  f32 EndHeading;                // degrees
  bool32 EndTackled;
  bool32 MarkedFree;
  bool32 PassSeen;
  bool32 Event34Seen;
  bool32 PassingSeen;
  bool32 KickSeen;
  bool32 FreeBallSeen;
  bool32 OpponentTouchedBall;
  bool32 LooseBallDropping;
  f32 RuckOverTimeAtExit;        // s
  bool32 NotFeasible;
  u16 EndEventType;              // all bits set: no current event
  i16 PeakPressureAtCatch;
  i16 PeakPressureAtGather;
  bool32 BreakSeen;
  f32 BreakActionCode;           // an integral code held as a float
  bool32 StepSeen;
  f32 EndCarrierVelX;            // m/s
  f32 CarrierContactTime;        // s

  // Field by field (the padding after OwnScore is no part of the outcome).
  friend bool operator==(const TSimResult&, const TSimResult&) = default;
};

static_assert(std::is_trivially_copyable_v<TSimResult>);

// Fitness := the score of Result for Move (set, not added to). PlayOption is
// the play option of the side in possession, TurnoverLoss the carrier's
// turnover loss factor. Reads the pitch size of `World`.
void MoveFitness(const TMove& Move, const TSimResult& Result, f32& Fitness, i16 PlayOption,
                 f32 TurnoverLoss);
