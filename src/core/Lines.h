// Small pieces of tactical geometry for the positioning handlers, the contact
// steps and the move applier: kick-ahead distance, numbers at the breakdown
// of a run, support runners held behind a line, and the ordered attacking
// line of a side.
#pragma once

#include "core/TypeDefs.h"

// Whether P is in no tackle either way (TackleAttemptTimer, OldTackleTimer
// and GettingTackledTimer all at most 0): free to race for a loose ball.
bool IsClearOfTackles(const TPlayer& P);

// How far ahead (7, 12, 17 or 22 m) the player `Player` of Teams[1] (or of
// Teams[2] when InFirstBlock is false) should kick a gathered loose ball so
// that his side wins the chase; 5 m (7 m for Teams[2]) when even 7 m would
// leave the field of play.
f32 ChooseKickAheadDistance(const TWorld& W, i32 Player, bool InFirstBlock);

// Whether the ball carrier of Teams[1] has support to match the defenders
// ahead of him on at least one side.
bool HasNumbersAdvantage(const TWorld& W);

// Moves a support runner's DesiredPos on with the carrier's velocity
// (VelX, VelZ) without letting him run in front of the line z = LineZ, and
// keeps him from crossing in front of the reference point (RefX, RefZ).
void AdjustDesiredPosBehindLine(TPlayer& P, bool32 Unused2, bool32 ClampToLine, f32 VelX,
                                f32 VelZ, f32 LineZ, f32 MinSpeed, f32 RefX, f32 RefZ,
                                f32 Unused10, f32 TimeStep, f32 SpeedBoost);

// Puts Id into the ordered line at position Value (moving him when he is
// already on it) and pushes his neighbours apart to the line's spacing.
void InsertIntoLine(TLineList& Line, i16 Id, f32 Value);
