#include <algorithm>
#include <cmath>

#include "contact/ContactHolds.h"
#include "contact/ContactSteps.h"
#include "contact/LooseBall.h"
#include "contact/RunningStoppages.h"
#include "core/Advantage.h"
#include "core/BallFlight.h"
#include "core/Geometry.h"
#include "core/KickSolving.h"
#include "core/MatchStore.h"
#include "core/MirrorWorld.h"
#include "core/MoveBooks.h"
#include "core/Random.h"
#include "core/SlotLines.h"
#include "core/StrategyShapes.h"
#include "core/SupportSpot.h"

// Block 1 throws the pass and attacks towards +z; block 2 defends. The ball
// is BallPos (x, height y, z) moving with PassVel. Every stage after the
// holds runs only while the state is still "passing".

namespace {

constexpr double kCatchReach = 0.65;       // m, ball to player across the ground
constexpr double kDeflectReach = 0.3;      // m
constexpr double kNearBand = 1.1;          // x reach, judged half a frame on
constexpr double kCatchHeight = 0.95;      // x Height
constexpr double kStretchHeight = 1.045;   // x Height, only for a ball coming down into reach
constexpr double kDeflectHeight = 0.875;   // x Height
constexpr i32 kFatiguePenalty = 45;        // per mille off the catch threshold (match world)
constexpr i32 kLookAheadRoll = -10000;     // the look-ahead's roll: every catch holds
constexpr double kPressureRange = 3.0;     // m, an opponent this near spoils the second chance
constexpr i32 kSecondChance = 750;         // per mille
constexpr double kGroundHeight = 0.145;    // m, the ball reaches the ground
constexpr double kGroundBand = 1.35;       // x kGroundHeight, judged half a frame on
constexpr double kMinBounceUp = 0.3;       // m/s, vertical speed of a pass bouncing up
constexpr double kGateDistance = 1.55;     // m of flight before a deflection counts
constexpr f32 kTouchLock = 0.25f;          // s, the toucher cannot touch the ball again
constexpr f32 kKnockRunTime = 0.4f;        // s of forced run after a knock-on

bool Passing(const TWorld& W) { return W.gamestate == gsPassing; }
bool LookAheadCopy(const TWorld& W) { return W.LiveWorld == 0; }

// Player n of block b, or null when n is outside 1..PlayersPerTeam.
TPlayer* Member(TWorld& W, int b, i32 n) { return n >= 1 && n <= PlayerCount(W) ? &W.Teams[b].Players[n] : nullptr; }

void Post(TWorld& W, int b, const TPlayer& P, u8 Code) { PostMessage(W, W.Teams[b].teamid, P.id, Code, 0.0f); }

// ---------------------------------------------------------------- reach tests

double PredictedHeight(const TWorld& W) { return W.BallPos.y + 0.5 * W.TimeStep * W.PassVel.y; }

// The catch height band with vertical margin Mv (m).
bool InCatchHeight(const TWorld& W, const TPlayer& P, double Mv) {
  const double low = kCatchHeight * P.Height + Mv;
  if (W.BallPos.y < low) return true;
  return W.BallPos.y < kStretchHeight * P.Height + Mv && PredictedHeight(W) < low;
}

// Ball and player within Reach across the ground, or within the near band
// with both moved on half a frame (ball along PassVel, player along
// Velocity) within Reach. Inclusive for catches, strict for deflections.
bool WithinBallReach(const TWorld& W, const TPlayer& P, double Reach, bool Inclusive) {
  auto within = [Inclusive](double d, double r) { return Inclusive ? d <= r : d < r; };
  const f32 d = Distance2D(W.BallPos.x, W.BallPos.z, P.Pos.x, P.Pos.z);
  if (within(d, Reach)) return true;
  if (!within(d, kNearBand * Reach)) return false;
  const double t = 0.5 * W.TimeStep;
  const f32 ahead = Distance2D(ToF32(W.BallPos.x + t * W.PassVel.x), ToF32(W.BallPos.z + t * W.PassVel.z),
                               ToF32(P.Pos.x + t * P.Velocity.x), ToF32(P.Pos.z + t * P.Velocity.z));
  return within(ahead, Reach);
}

struct TMargins {
  double H = 0, V = 0;  // m, horizontal and vertical
};

// The defenders' extra reach in the look-ahead copy while CautiousLookAhead
// (CarriedBallPlacementOn) is set, else none: from (H0, V0) up by a tenth of
// the passer's accuracy factor (0 with no passer), wider for a passer
// standing more than 2 m across from the ball, and wider still when the
// pass goes the way of the side's attack.
TMargins LookAheadMargins(TWorld& W, double H0, double V0) {
  if (!LookAheadCopy(W) || W.CarriedBallPlacementOn == 0) return {};
  const TTeamBlock& A = W.Teams[1];
  const TPlayer* passer = Member(W, 1, A.Passer);
  const TPlayer* receiver = Member(W, 1, A.PassReceiver);
  const double f = passer != nullptr ? passer->passImagAccuracyFactor : 0.0;
  TMargins m{H0 + 0.1 * f, V0 + 0.1 * f};
  if (passer == nullptr) return m;
  const double across = std::fabs(static_cast<double>(passer->Pos.x) - W.BallPos.x);
  if (across > 2.0) {
    m.H += 0.05 * across;
    m.V += 0.025 * across;
  }
  if (receiver != nullptr && ((A.PassSide == 1 && passer->Pos.x < receiver->Pos.x) ||
                              (A.PassSide == 2 && passer->Pos.x > receiver->Pos.x))) {
    m.H *= 1.5;
    m.V *= 2.0;
  }
  return m;
}

// The catch roll of player P: RandomRange(1, 1001), or kLookAheadRoll in the
// look-ahead copy, against his CleanCatchProb (45 less when Fatigued in the
// match world). A failed roll with no opponent free of ruck duties within
// 3 m on his far side (Pressing) gets a second roll: below 750 holds.
template <class Pressing>
bool CatchHolds(TWorld& W, const TPlayer& P, int Opponents, Pressing pressing) {
  i32 r = RandomRange(1, 1001);
  if (LookAheadCopy(W)) r = kLookAheadRoll;
  i32 s = P.CleanCatchProb;
  if (P.Fatigued != 0 && !LookAheadCopy(W)) s -= kFatiguePenalty;
  if (r < s) return true;
  const int n = PlayerCount(W);
  for (int k = 1; k <= n; ++k) {
    const TPlayer& O = W.Teams[Opponents].Players[k];
    if (O.RuckTimer > 0 || O.RuckJoinDelay > 0) continue;
    if (Distance2D(O.Pos.x, O.Pos.z, P.Pos.x, P.Pos.z) <= kPressureRange && pressing(O)) return false;
  }
  return RandomRange(1, 1001) < kSecondChance;
}

// ---------------------------------------------------------------- the ball going loose

// The pass glances off player P: back the way it came at 0.3 of its speed
// with a share of his momentum, flown from BallPos.
void ReboundOff(TWorld& W, const TPlayer& P) {
  const f32 heading = HeadingToPoint(P.OldPos.x, P.OldPos.z, P.Pos.x, P.Pos.z, 90.0f);
  const TLaunchParams l = LaunchAnglesWithMotion(true, W.PassVel.x, W.PassVel.y, W.PassVel.z, 0.3f,
                                                 ToF32(0.025 * P.speed * P.Weight), 0.05f, heading, 0.43f);
  SimulateLooseBallFlight(W, l.Speed, l.Elevation, l.Heading);
}

// After a knock-on: the toucher is barred from the ball and stumbles on
// along his heading.
void KnockedOnBy(TPlayer& P) {
  P.BallTouchLockTimer = kTouchLock;
  P.ForcedRunTimer = kKnockRunTime;
  P.ForcedRunSpeed = P.speed;
  P.GettingTackledSpeed = P.speed;
  P.ForcedRunAngle = P.Heading;
  P.ForcedRunFacing = P.Heading;
}

// ---------------------------------------------------------------- new carriers

void SetOwnAreaMarks(TWorld& W, const TPlayer& C) {
  TTeamBlock& A = W.Teams[1];
  const double goal = -0.5 * W.PitchLength;
  const double line22 = goal + 22.0;
  if (C.Pos.z <= line22 && W.BallPos.z >= line22) A.CarriedIntoOwn22 = kTrue32;
  if (C.Pos.z <= goal && W.BallPos.z >= goal) A.CarriedIntoOwnInGoal = kTrue32;
}

// Block-1 player c carries the ball in "running" from its first frame; the
// pressure countdowns, the defence cycle and strategy timers and the
// decision clock start again; in the match world with RequestDecision a
// decision is asked for at once. c leaves the support grid.
void MakeCarrier(TWorld& W, int c, bool RequestDecision) {
  TTeamBlock& A = W.Teams[1];
  A.BallCarrier = c;
  EnterRunningPlay(W);
  A.SidePlaySeq = 0;
  A.DecisionTimer = 0;
  if (RequestDecision && !LookAheadCopy(W)) A.DecisionRequested = kTrue32;
  ClearPlayerSupportCells(A, c);
  A.Players[c].SupportGridCleared = kTrue32;
}

// Block-2 player j takes the ball: possession changes (the world is
// mirrored, j keeps his index in block 1) and he runs on with the template
// sequence.
void ChangePossessionTo(TWorld& W, int j, bool RequestDecision) {
  Toggle32(W.Team1InFirstBlock);
  MirrorWorld(W);
  MakeCarrier(W, j, RequestDecision);
  W.Teams[1].Players[j].ActionSeq = StrategyParams.ActionSeqTemplate;
}

// ---------------------------------------------------------------- stages

void CountPassClocks(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  A.PassCountdown = ToF32(static_cast<double>(A.PassCountdown) - W.TimeStep);
  A.PassFlightTime = ToF32(static_cast<double>(A.PassFlightTime) + W.TimeStep);
  A.PassLooseTime = ToF32(static_cast<double>(A.PassLooseTime) + W.TimeStep);
}

// Defenders tackling attackers who wait for the ball: holders must be free,
// missed and fended-off dives and holders already falling take no hold.
void TackleWaitingAttackers(TWorld& W) {
  THoldRules rules;
  rules.HolderMustBeFree = true;
  HoldFallAndMissDives(W, rules, 0);
}

void Intercept(TWorld& W) {
  const TMargins m = LookAheadMargins(W, 0.3, 0.25);
  const int n = PlayerCount(W);
  for (int j = 1; j <= n; ++j) {
    TPlayer& D = W.Teams[2].Players[j];
    if (!(D.passcatchtimer > 0) || D.shimmytimer > 0) continue;
    if (!InCatchHeight(W, D, m.V)) continue;
    if (!WithinBallReach(W, D, kCatchReach + m.H, true)) continue;
    const bool holds = CatchHolds(W, D, 1, [&D](const TPlayer& O) { return O.Pos.z < D.Pos.z - 0.1; });
    if (holds) {
      if (const TPlayer* passer = Member(W, 1, W.Teams[1].Passer)) Post(W, 1, *passer, msgInterceptThrown);
      Post(W, 2, D, msgInterception);
      Post(W, 2, D, msgCarryStart);
      ChangePossessionTo(W, j, true);
      return;
    }
    // The ball glances off him: a knock-on when it goes towards block 1's
    // end (forward for him).
    W.BlocksSwapped = kFalse32;
    ReboundOff(W, D);
    W.PassDeflected = kTrue32;
    if (FlightLandingGain(W) < 0 && InsideKnockOnMargin(W, D)) {
      EnterHandlingInfringement(W, kKnockOn, kTrue32, j, W.BallPos.x, W.BallPos.z);
    }
    EnterFreeBall(W);
    KnockedOnBy(D);
    return;
  }
}

void OtherAttackerTakes(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  const int n = PlayerCount(W);
  for (int i = 1; i <= n; ++i) {
    if (i == A.PassReceiver) continue;
    const TPlayer& P = A.Players[i];
    if (!(P.passcatchtimer > 0) || P.shimmytimer > 0) continue;
    if (!InCatchHeight(W, P, 0.0) || !WithinBallReach(W, P, kCatchReach, true)) continue;
    Post(W, 1, P, msgCarryStart);
    MakeCarrier(W, i, true);
    SetOwnAreaMarks(W, P);
    return;
  }
}

// The ball has flown about 1.55 m: time since the release above 1.55 m over
// its speed across the ground (at least 0.1 m/s), and above one frame.
bool PastDeflectionGate(const TWorld& W) {
  const double s = std::max(0.1, std::hypot(static_cast<double>(W.PassVel.x), static_cast<double>(W.PassVel.z)));
  const double t0 = std::max(kGateDistance / s, static_cast<double>(W.TimeStep));
  return W.Teams[1].PassFlightTime > t0;
}

bool Uninvolved(const TPlayer& P) {
  return P.RuckTimer <= 0 && P.RuckJoinDelay <= 0 && P.LineOutTimer <= 0 && P.OldTackleTimer <= 0 &&
         P.TackleAttemptTimer <= 0 && P.GettingTackledTimer <= 0 && P.standuptimer <= 0 && P.passtimer <= 0 &&
         P.passcatchtimer <= 0;
}

void DeflectOffDefender(TWorld& W) {
  const TMargins m = LookAheadMargins(W, 0.125, 0.1);
  const TPlayer* receiver = Member(W, 1, W.Teams[1].PassReceiver);
  const int n = PlayerCount(W);
  for (int j = 1; j <= n; ++j) {
    TPlayer& D = W.Teams[2].Players[j];
    if (!Uninvolved(D)) continue;
    TMargins mj = m;
    if (receiver != nullptr && D.Pos.z < receiver->Pos.z &&
        std::fabs(static_cast<double>(D.Pos.x) - receiver->Pos.x) <= 1.5) {
      mj.V += 0.5 * m.V;
      mj.H = 0;
    }
    const double top = kDeflectHeight * D.Height + mj.V;
    if (!(W.BallPos.y < top || PredictedHeight(W) < top)) continue;
    if (!WithinBallReach(W, D, kDeflectReach + mj.H, false)) continue;
    ReboundOff(W, D);
    W.PassDeflected = kTrue32;
    EnterFreeBall(W);
    D.BallTouchLockTimer = kTouchLock;
    return;
  }
}

// Where the receiver stands in block 1's line: re-slotted to the free slot
// nearest his x unless he already holds one within 3 m across, taken off
// the support grid, and the line centred on him.
void SlotReceiver(TWorld& W, int r) {
  TTeamBlock& A = W.Teams[1];
  TPlayer& R = A.Players[r];
  TSlotLine line = SetPieceSlotLine(A);
  int held = 0;
  for (int k = 1; k <= kSlotCount && held == 0; ++k) {
    if (line[k] == r) held = k;
  }
  constexpr double kSlotDrift = 3.0;  // m across
  const bool keeps = R.SupportGridCleared != 0 && held != 0 &&
                     std::fabs(static_cast<double>(A.SetPieceSlotPos[held].x) - R.Pos.x) <= kSlotDrift;
  if (!keeps) line = MovePlayerToNearestSlot(line, A.SetPieceSlotPos, static_cast<i16>(r), R.Pos.x);
  if (R.SupportGridCleared == 0 || held == 0) {
    ClearPlayerSupportCells(A, r);
    R.SupportGridCleared = kTrue32;
  }
  StoreSetPieceSlotLine(A, RecentreLine(line, static_cast<i16>(r)));
}

void ReceiverCatches(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  const int r = A.PassReceiver;
  TPlayer* R = Member(W, 1, r);
  if (R == nullptr || !(R->passcatchtimer > 0)) return;
  if (!InCatchHeight(W, *R, 0.0) || !WithinBallReach(W, *R, kCatchReach, true)) return;
  if (const TPlayer* passer = Member(W, 1, A.Passer)) Post(W, 1, *passer, msgPassHitTarget);
  const TPlayer& Rc = *R;
  if (CatchHolds(W, Rc, 2, [&Rc](const TPlayer& O) { return O.Pos.z > Rc.Pos.z + 0.1; })) {
    W.gamestate = gsRunning;
    A.BallCarrier = r;
    Post(W, 1, *R, msgCarryStart);
    for (i32& h : R->FootprintHolder) h = 0;
    W.DefenceCycleTimer = 0;
    A.DecisionTimer = 0;
    if (!LookAheadCopy(W)) {
      A.DecisionRequested = kTrue32;
      MoveBooks[1].ResampleTimer = 0;
      MoveBooks[2].ResampleTimer = 0;
    }
    SetOwnAreaMarks(W, *R);
    SlotReceiver(W, r);
    return;
  }
  // Knock-on: towards block 2's end is forward for him.
  ReboundOff(W, *R);
  if (W.LastPasser != 0 && W.LastPasser != r) W.PassDeflected = kTrue32;
  if (FlightLandingGain(W) > 0 && InsideKnockOnMargin(W, *R)) {
    EnterHandlingInfringement(W, kKnockOn, kFalse32, r, W.BallPos.x, W.BallPos.z);
  }
  EnterFreeBall(W);
  KnockedOnBy(*R);
}

void BallGrounds(TWorld& W) {
  if (W.PassVel.y > 0) return;
  const bool down = W.BallPos.y < kGroundHeight ||
                    (W.BallPos.y < kGroundBand * kGroundHeight && PredictedHeight(W) < kGroundHeight);
  if (!down) return;
  const f32 up = std::max(W.PassVel.y, static_cast<f32>(kMinBounceUp));
  Arr1<TDistribution, 6>& e = W.HeadDistributions;
  const TLaunchParams l = VelocityToLaunchWithError(e[4], e[5], e[6], W.PassVel.x, up, W.PassVel.z);
  SimulateLooseBallFlight(W, l.Speed, l.Elevation, l.Heading);
  EnterFreeBall(W);
  if (std::fabs(static_cast<double>(W.BallPos.x)) < 0.5 * W.PitchWidth &&
      std::fabs(static_cast<double>(W.BallPos.z)) < 0.5 * W.PitchLength + W.InGoalDepth) {
    W.BallBouncedInField = kTrue32;
  }
}

// Once per pass in the match world, when the ball has gone further forward
// of the release than the drawn tolerance: 0.1 m or more is forward; less
// is forward only past a roll of 800 (for a ball more than 3.75 m across
// from the release) and then a roll of 500.
void JudgeForwardPass(TWorld& W) {
  if (LookAheadCopy(W) || W.PassDrawSet == 0) return;
  const double forward = static_cast<double>(W.BallPos.z) - W.ReleasePos.z;
  if (!(forward > W.PassDrawParams.value)) return;
  W.PassDrawSet = kFalse32;
  bool called = forward >= 0.1;
  if (!called) {
    const double across = std::fabs(static_cast<double>(W.BallPos.x) - W.ReleasePos.x);
    called = (across <= 3.75 || RandomRange(1, 1001) >= 800) && RandomRange(1, 1001) >= 500;
  }
  if (!called) return;
  const i32 passer = Member(W, 1, W.Teams[1].Passer) != nullptr ? W.Teams[1].Passer : 0;
  EnterHandlingInfringement(W, kForwardPass, kFalse32, passer, W.ReleasePos.x, W.ReleasePos.z);
}

// The look-ahead's turnover at the breakdown: a pass thrown from the mark
// is taken by a defender still at the ruck.
void BreakdownSteal(TWorld& W) {
  if (!LookAheadCopy(W) || W.CarriedBallPlacementOn == 0) return;
  if (!(W.Teams[1].PassFlightTime > 0.1 + W.TimeStep)) return;
  const f32 d = Distance2D(W.BallPos.x, W.BallPos.z, W.MarkX, W.MarkZ);
  const f32 before = Distance2D(W.PrevBallPos.x, W.PrevBallPos.z, W.MarkX, W.MarkZ);
  if (!(d <= 3.0f && d < before)) return;
  const int n = PlayerCount(W);
  for (int j = 1; j <= n; ++j) {
    TPlayer& D = W.Teams[2].Players[j];
    if (!(D.RuckTimer > 0 || D.RuckJoinDelay > 0)) continue;
    if (std::fabs(static_cast<double>(D.Pos.x) - W.BallPos.x) > 2.0 ||
        std::fabs(static_cast<double>(D.Pos.z) - W.BallPos.z) > 2.0) {
      continue;
    }
    D.RuckTimer = 0;
    D.RuckJoinDelay = 0;
    D.passcatchtimer = 10.0f;
    ChangePossessionTo(W, j, false);
    return;
  }
}

}  // namespace

void PassingContact(TWorld& W) {
  CountPassClocks(W);
  TackleWaitingAttackers(W);
  if (Passing(W)) Intercept(W);
  if (Passing(W)) OtherAttackerTakes(W);
  if (Passing(W) && PastDeflectionGate(W)) DeflectOffDefender(W);
  if (Passing(W)) ReceiverCatches(W);
  if (Passing(W)) BallGrounds(W);
  if (Passing(W)) JudgeForwardPass(W);
  if (Passing(W)) BreakdownSteal(W);
}
