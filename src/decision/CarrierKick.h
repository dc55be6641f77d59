// The ball carrier's kick, two sections of BallCarrierDecision (frame step
// 6): the decision that turns a kick event of his set move (kinds 5 and 55)
// into a concrete kick, and his run-up while the kick is under way.
//
// The decision picks the kick's kind (1 punt, 2 grubber, 3 chip, 4 high
// punt, 5 drop kick, 8 pressure kick turning away), finds the launch speed,
// elevation and heading with FindKick against a target that depends on the
// event's placement (EventCode: 1 touch or down the line, 2 into space, 3
// contestable, 4 at goal, 5 straight into touch), draws the release time and
// sets the bounce spreads of the kind. The launch itself, when block 1's
// KickTimeLeft runs out, the animation and the bounces belong to the motion
// and ball steps, which read what is left here.
//
// Both run on the match world and on the look-ahead copy alike and keep
// nothing outside W, except that FindKick reads the match world's pitch
// constants and clock and, in the goal mode, writes its two run-log lines
// when no kick clears the bar.
#pragma once

#include "core/TypeDefs.h"

// Section 7: the kick decision for the carrier (block 1's BallCarrier, who
// must be a player of the field) when his current event is a kick (kind 5,
// or kind 55 when pressed: TimeToContact below 1.0 s, or below 0.475 s for a
// grubber or chip while the side's move book samples) and he is free to act
// (no pass, catch, dive, getting up, break, tackle, loose-ball catch, forced
// run, step or kick under way, no special action of kind 3).
//
// Writes block 1's StrategyTimer (0), KickTimeLeft, KickChosen (-1), the
// launch KickSpeed, KickElevation and KickHeading and the FindKick request
// fields; on the carrier KickTimer (10 s), KickKind, KickRunAngle (degrees),
// KickRunSpeed (m/s, at least 1), KickFacing (degrees), passcatchtimer (0)
// and the drawn value of the release distribution (and of the punt's); on
// the event its launch values, Angle and, for a pressure kick, DesSpeed; the
// world's BounceErrors.
//
// Draws, in this order: the candidate points of a kick into space (25) or a
// contestable kick (50), one per point for x then z; for a lofted kick into
// space without room, the team-mate whose speed times the hang; FindKick's
// draws; the release time (two).
void DecideKick(TWorld& W);

// Section 12, the kick part: while the carrier's KickTimer runs he is put
// back at OldPos, faces KickFacing and runs KickRunAngle for one TimeStep at
// KickRunSpeed. While his sequence runs, that speed is his speed, at most
// the current event's DesSpeed, at most a share of his maxspeed by kind
// (0.35 for 1, 4 and 5, 0.7 for 2 and 3, 0.09 for 8) and at most maxspeed.
// No draws.
void ContinueKick(TWorld& W);

// An elevation range in degrees for a kick search.
struct TElevationRange {
  double Low, High;
};

// The elevation range of a kick into space of the Kind towards (TargetX,
// TargetZ), given T, the soonest an opponent reaches the target (s), and
// SpeedMax, the top of the speed range (m/s). Kinds other than 1 and 4 take
// the space column of the elevation table. Kinds 1 and 4 take 25 to 35
// degrees when the defence is slow to the target (T + 0.5 > distance /
// SpeedMax), else a hang time of the flight: a team-mate drawn from 1 to
// PlayersPerTeam runs there at his maxspeed; then both are lifted by the
// nearness of the target to the try line and to the kicker, and a top above
// 77.5 degrees gives 70 to 77.5. The steep centre is 72.5 degrees whenever
// the hang needs SpeedMax - 0.5 m/s or more upwards, and never more, so no
// arcsine is taken out of range.
TElevationRange SpaceKickElevation(const TWorld& W, const TPlayer& C, i32 Kind, f32 TargetX, f32 TargetZ,
                                   double T, double SpeedMax);
