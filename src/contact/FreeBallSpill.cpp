#include "contact/FreeBallSpill.h"

#include <algorithm>
#include <cmath>

#include "contact/LooseBall.h"
#include "core/Advantage.h"
#include "core/Geometry.h"
#include "core/KickSolving.h"
#include "core/Lines.h"
#include "core/Random.h"

namespace {

constexpr f32 kSpillSpeed = 5.0f;         // m/s
constexpr f32 kKickElevation = 10.0f;     // degrees, a loose ball kicked on
constexpr double kKickRunUp = 12.0;       // m, added to the distance ahead
constexpr double kKickMinSpeed = 10.5;    // m/s
constexpr double kKickFootExtra = 0.25;   // m/s above the runner's speed
constexpr f32 kSpillLock = 0.4f;          // s before the spiller may touch it again
constexpr f32 kDeflectLock = 0.2f;        // s
constexpr f32 kLooseBallKick = 8.0f;      // FreeBallCatchKind of a kick on
constexpr i32 kDropBlock2From = 500;      // RandomRange(1, 1001) at or above drops block 2's toucher

// A forward heading (degrees) for the block: strictly within 5..175 for
// block 1 (+z), 185..355 for block 2.
bool IsForward(int Block, f32 Heading) {
  return Block == 1 ? Heading > 5.0f && Heading < 175.0f : Heading > 185.0f && Heading < 355.0f;
}

// The knock-on of player Index of block Block by a ball leaving along
// Heading: entered (and judged new) only when forward and inside the margin.
void JudgeKnockOn(TWorld& W, int Block, i32 Index, f32 Heading) {
  const TPlayer& P = W.Teams[Block].Players[Index];
  if (!IsForward(Block, Heading) || !InsideKnockOnMargin(W, P)) return;
  EnterHandlingInfringement(W, kKnockOn, Block == 2 ? kTrue32 : kFalse32, Index, W.BallPos.x, W.BallPos.z);
}

// The error sets of a loose ball kicked on: speed factor, elevation and
// heading error (degrees), both clamps on.
void SetKickOnBounceErrors(TWorld& W) {
  SetDistribution(W.BounceErrors[1], 0.75, 0.1, 0.65, 0.8);
  SetDistribution(W.BounceErrors[2], 7.5, 5.0, -10.0, 7.5);
  SetDistribution(W.BounceErrors[3], 0.0, 10.0, -30.0, 30.0);
}

// The launch of block 1's loose-ball kick by player C. The distance ahead is
// chosen on the match world.
TLaunchParams KickOnLaunch(TWorld& W, i32 C) {
  const TPlayer& P = W.Teams[1].Players[C];
  const double ahead = ChooseKickAheadDistance(World, C, true);
  double speed = std::max((ahead + kKickRunUp) * 0.5, kKickMinSpeed);
  const double run = static_cast<double>(P.FreeBallCatchSpeed) + kKickFootExtra;
  if (P.FreeBallCatchSpeed < P.maxspeed && run > speed) speed = run;
  SetKickOnBounceErrors(W);
  return {static_cast<f32>(speed), kKickElevation, NormaliseHeading(P.FreeBallCatchAngle)};
}

// Marks the kicked ball played by toucher P of block Block, unless it is
// already in touch.
void MarkPlayed(TWorld& W, int Block, const TPlayer& P) {
  if (W.KickTouchFlag2 != 0) return;
  W.BlocksSwapped = Block == 1 ? kTrue32 : kFalse32;
  const double halfWidth = 0.5 * W.PitchWidth;
  const double end = 0.5 * W.PitchLength + W.InGoalDepth;
  const double x = std::fabs(static_cast<double>(P.Pos.x));
  if (x < halfWidth && std::fabs(static_cast<double>(P.Pos.z)) < end) W.BallBouncedInField = kTrue32;
  if (x >= halfWidth) W.KickTouchFlag1 = kTrue32;
}

}  // namespace

void SpillFreeBall(TWorld& W, int Block) {
  const i32 c = W.FreeBallCatcher[Block];
  TPlayer* P = PlayerAt(W.Teams[Block], c);
  if (P == nullptr) return;
  if (W.KickTouchFlag2 == 0) W.BlocksSwapped = Block == 1 ? kTrue32 : kFalse32;
  W.FreeBallToucher[1] = 0;
  W.FreeBallToucher[2] = 0;
  W.BounceOffPending = kFalse32;
  const bool kickOn = Block == 1 && P->FreeBallCatchKind == kLooseBallKick;
  const TLaunchParams launch =
      kickOn ? KickOnLaunch(W, c) : TLaunchParams{kSpillSpeed, 0.0f, NormaliseHeading(P->FreeBallCatchFacing)};
  RelaunchFreeBall(W, launch);
  P->BallTouchLockTimer = kSpillLock;
  if (!kickOn) JudgeKnockOn(W, Block, c, launch.Heading);
}

void DeflectFreeBall(TWorld& W) {
  Arr1<i32, 2> toucher;
  for (int b = 1; b <= 2; ++b) toucher[b] = IsPlayer(W.FreeBallToucher[b]) ? W.FreeBallToucher[b] : 0;
  if (toucher[1] == 0 && toucher[2] == 0) {
    W.FreeBallToucher[1] = 0;
    W.FreeBallToucher[2] = 0;
    return;
  }
  // No step records a bounce-off velocity, so the ball leaves along its flight.
  W.BounceOffPending = kFalse32;
  const TVector3 v = W.BallPhase >= 1 && W.BallPhase <= 1000 ? W.FlightVel[W.BallPhase] : TVector3{};
  const TLaunchParams launch = VelocityToLaunchWithError(W.HeadDistributions[1], W.HeadDistributions[2],
                                                         W.HeadDistributions[3], v.x, v.y, v.z);
  for (int b = 1; b <= 2; ++b) {
    if (toucher[b] != 0) W.Teams[b].Players[toucher[b]].BallTouchLockTimer = kDeflectLock;
  }
  RelaunchFreeBall(W, launch);
  auto inAction = [&](int b) { return toucher[b] != 0 && W.Teams[b].Players[toucher[b]].freeballcatchtimer > 0; };
  if (inAction(1) && inAction(2)) {
    if (RandomRange(1, 1001) >= kDropBlock2From) {
      toucher[2] = 0;
    } else {
      toucher[1] = 0;
    }
  }
  for (int b = 1; b <= 2; ++b) {
    if (!inAction(b)) continue;
    const TPlayer& P = W.Teams[b].Players[toucher[b]];
    MarkPlayed(W, b, P);
    if (b == 1 && P.FreeBallCatchKind == kLooseBallKick) continue;
    JudgeKnockOn(W, b, toucher[b], launch.Heading);
  }
  W.FreeBallToucher[1] = 0;
  W.FreeBallToucher[2] = 0;
}
