#include <cmath>
#include <utility>

#include "contact/ContactHolds.h"
#include "contact/ContactSteps.h"
#include "contact/LooseBall.h"
#include "core/Advantage.h"
#include "core/Geometry.h"
#include "core/KickSolving.h"
#include "core/MirrorWorld.h"
#include "core/Random.h"
#include "core/SupportSpot.h"

// Block 1 throws in; block 2 contests. LineoutTargetJumper[b] is block b's
// jumper. The ball flies from touch towards the far side of the line with
// PassVel: towards +x when LineoutOnNegativeX, else towards -x.

namespace {

constexpr f32 kReach = 0.55f;             // m across the ground, ball to jumper (compared as f32)
constexpr double kReachLow = 0.65;        // m over his Height
constexpr double kReachHigh = 1.25;       // m over his Height
constexpr double kContestEdge = 100.0;    // per mille for the nearer jumper
constexpr double kFatigue = 45.0;         // per mille
constexpr double kFumbleScale = 7.0;      // fumble below 7 x (1000 - CleanCatchProb)
constexpr f32 kTakePassTime = 0.3f;       // s, the catcher's pass down to the SetPieceHolder
constexpr f32 kTakePassTimer = 10.0f;     // s
constexpr double kDropHeight = 1.9;       // m, a throw dropping below this has failed
constexpr double kCrossSpeed = 2.0;       // m/s across the pitch
constexpr double kBeyond = 0.7;           // m past a jumper, towards the far side
constexpr double kPassedHeight = 1000.0;  // m, a jumper already passed
constexpr double kStrikeReach = 0.3;      // m across the ground
constexpr double kTouchMargin = 0.5;      // m inside touch where a failed throw is left alone

bool Member(const TWorld& W, i32 n) { return n >= 1 && n <= PlayerCount(W); }

// Block b's jumper, or null when his index is 0 or beyond the team.
TPlayer* Jumper(TWorld& W, int b) {
  const i32 n = W.LineoutTargetJumper[b];
  return Member(W, n) ? &W.Teams[b].Players[n] : nullptr;
}

bool OnJump(const TPlayer& P) { return P.currentAnim == "lineoutpassleftp1" || P.currentAnim == "lineoutpassrightp1"; }
bool OnLanding(const TPlayer& P) {
  return P.currentAnim == "lineoutpassleftp2" || P.currentAnim == "lineoutpassrightp2";
}

f32 BallDistance(const TWorld& W, const TPlayer& P) { return Distance2D(W.BallPos.x, W.BallPos.z, P.Pos.x, P.Pos.z); }

bool InReach(const TWorld& W, const TPlayer* P) {
  if (P == nullptr || !(BallDistance(W, *P) <= kReach)) return false;
  const double y = W.BallPos.y;
  return y > P->Height + kReachLow && y < P->Height + kReachHigh && OnJump(*P) && AnimationShare(*P) > 0.5;
}

void Post(TWorld& W, int b, const TPlayer& P, u8 Code, f32 Extra = 0.0f) {
  PostMessage(W, W.Teams[b].teamid, P.id, Code, Extra);
}

// The handling roll: below 7 x (1000 - CleanCatchProb) the ball is spilled.
bool Fumbles(const TPlayer& P) { return RandomRange(1, 1001) < kFumbleScale * (1000.0 - P.CleanCatchProb); }

// Block 1's player c has the ball and passes it down to the SetPieceHolder.
void PassDownFrom(TWorld& W, int c, f32 Extra) {
  TTeamBlock& A = W.Teams[1];
  TPlayer& C = A.Players[c];
  A.BallCarrier = c;
  C.passtimer = kTakePassTimer;
  C.passcatchtimer = 0;
  A.PassTimeLeft = kTakePassTime;
  A.PassReceiver = A.SetPieceHolder;
  A.PassHeading = C.LineoutFacing;
  A.ReceiverRunPending = 0;
  Post(W, 1, C, msgLineoutCleanTake, Extra);
}

void ClearTouchFlags(TWorld& W) {
  W.BallBouncedInField = kFalse32;
  W.KickTouchFlag1 = kFalse32;
  W.KickTouchFlag2 = kFalse32;
}

// The ball goes loose from the lineout (its flight already launched).
void LooseFromLineout(TWorld& W) {
  EnterFreeBall(W);
  for (TTeamBlock& T : W.Teams) {
    for (TPlayer& P : T.Players) {
      for (bool32& f : P.ContactFlags) f = kFalse32;
    }
  }
  const int n = PlayerCount(W);
  for (int b = 1; b <= 2; ++b) {
    for (int k = 1; k <= n; ++k) {
      TPlayer& P = W.Teams[b].Players[k];
      if (!(P.LineOutTimer > 0)) continue;
      if (P.currentAnim == "lineoutlifterlift" || OnJump(P) || OnLanding(P)) {
        P.RuckJoinDelay = ToF32(5.0 * W.TimeStep);
      } else {
        P.LineOutTimer = 0;
      }
    }
  }
}

// The jumper j of block b (the winner) spills the ball: it flies off at 40
// to 50 % of the throw's speed, forwards (set F) or backwards (set B); a
// landing ahead of its start for his side is a knock-on.
void KnockOnAtJump(TWorld& W, int b, int j) {
  W.BlocksSwapped = b == 1 ? kTrue32 : kFalse32;
  ClearTouchFlags(W);
  const f32 scale = ToF32(RandomRange(40, 51) / 100.0);
  TLaunchParams l = VelocityToLaunchAngles(true, W.PassVel.x, W.PassVel.y, W.PassVel.z, scale);
  const bool early = RandomRange(1, 1001) < 250;
  const bool setF = b == 1 ? early : !early;
  const bool neg = W.LineoutOnNegativeX != 0;
  i32 heading = 0;
  if (setF) {
    heading = neg ? RandomRange(360, 496) : RandomRange(45, 181);
  } else {
    heading = neg ? RandomRange(225, 361) : RandomRange(180, 316);
  }
  l.Elevation = ToF32(static_cast<double>(l.Elevation) + RandomRange(-20, 21));
  l.Heading = NormaliseHeading(static_cast<f32>(heading));
  RelaunchFreeBall(W, l);
  const double gain = FlightLandingGain(W);
  if (b == 1 ? gain > 0 : gain < 0) {
    const bool32 againstDefence = b == 2 ? kTrue32 : kFalse32;
    if (EnterHandlingInfringement(W, kKnockOn, againstDefence, j, W.BallPos.x, W.BallPos.z)) {
      Post(W, b, W.Teams[b].Players[j], msgLineoutHandlingError, static_cast<f32>(b));
    }
  }
  LooseFromLineout(W);
}

void Side1Takes(TWorld& W) {
  const int j = W.LineoutTargetJumper[1];
  TTeamBlock& A = W.Teams[1];
  Post(W, 1, A.Players[j], msgLineoutWon);
  if (Member(W, A.LineoutThrower)) Post(W, 1, A.Players[A.LineoutThrower], msgLineoutHitJumper);
  if (Fumbles(A.Players[j])) {
    KnockOnAtJump(W, 1, j);
    return;
  }
  PassDownFrom(W, j, 1.0f);
}

// Block 2's jumper steals the throw: possession changes and he passes down
// to his own SetPieceHolder.
void Side2Steals(TWorld& W) {
  const int j = W.LineoutTargetJumper[2];
  Post(W, 2, W.Teams[2].Players[j], msgLineoutWon);
  Post(W, 2, W.Teams[2].Players[j], msgLineoutStolen);
  if (Fumbles(W.Teams[2].Players[j])) {
    KnockOnAtJump(W, 2, j);
    return;
  }
  Toggle32(W.Team1InFirstBlock);
  MirrorWorld(W);
  W.LineoutResolved = kTrue32;
  std::swap(W.LineoutTargetJumper[1], W.LineoutTargetJumper[2]);
  std::swap(W.LineoutTargetSlot[1], W.LineoutTargetSlot[2]);
  W.Teams[2].PressureTimerA = 0;
  W.Teams[2].PressureTimerB = 0;
  W.DefenceCycleTimer = 0;
  for (TTeamBlock& T : W.Teams) T.StrategyTimer = 0;
  W.RunningPhase = 1;
  ClearPlayerSupportCells(W.Teams[1], j);
  W.Teams[1].Players[j].SupportGridCleared = kTrue32;
  PassDownFrom(W, j, 2.0f);
}

void Contest(TWorld& W) {
  if (!(W.LineoutPhase > 1) || W.LineoutResolved != 0 || W.Teams[1].BallCarrier != 0) return;
  const TPlayer* J1 = Jumper(W, 1);
  const TPlayer* J2 = Jumper(W, 2);
  const bool reach1 = InReach(W, J1);
  const bool reach2 = InReach(W, J2);
  if (!reach1 && !reach2) return;
  bool side1 = reach1;
  if (reach1 && reach2) {
    double x = (J1->LineoutJumpProb + 1000.0 - J2->LineoutJumpProb) / 2.0;
    x += BallDistance(W, *J1) <= BallDistance(W, *J2) ? kContestEdge : -kContestEdge;
    if (J1->Fatigued != 0) x -= kFatigue;
    if (J2->Fatigued != 0) x += kFatigue;
    side1 = RandomRange(1, 1001) <= x;
  }
  if (side1) {
    Side1Takes(W);
  } else {
    Side2Steals(W);
  }
}

// x of the point 0.7 m beyond jumper P, towards the far side of the line.
double PointBeyond(const TWorld& W, const TPlayer& P) {
  return W.LineoutOnNegativeX != 0 ? P.Pos.x + kBeyond : P.Pos.x - kBeyond;
}

// Whether the ball is past x (towards the far side).
bool BallPast(const TWorld& W, double x) { return W.LineoutOnNegativeX != 0 ? W.BallPos.x > x : W.BallPos.x < x; }

double ReachTop(const TPlayer& P) { return P.Height + kReachHigh; }

// The ball comes down over jumper P: it is above his reach and will still
// be above it 0.7 m beyond him (a jumper already passed counts as passed).
bool SailsOver(const TWorld& W, const TPlayer* P) {
  if (P == nullptr) return true;
  if (!(W.BallPos.y > ReachTop(*P))) return false;
  const double x = PointBeyond(W, *P);
  double h = kPassedHeight;
  if (!BallPast(W, x)) {
    const double t = std::fabs(x - W.BallPos.x) / std::fabs(static_cast<double>(W.PassVel.x));
    h = W.BallPos.y + W.PassVel.y * t - 0.5 * W.Gravity * t * t;
  }
  return h > ReachTop(*P);
}

// Body height of a jumping or landing player as a share of his Height.
double BodyFactor(const TPlayer& P) {
  const double s = AnimationShare(P);
  if (OnJump(P)) {
    if (s > 0.7) return 1.25;
    if (s > 0.6) return 1.2;
    if (s > 0.5) return 1.15;
    if (s > 0.4) return 1.1;
    return 0.9;
  }
  if (s > 0.75) return 0.9;
  if (s > 0.4) return 0.75;
  if (s > 0.15) return 0.9;
  if (s > 0.1) return 1.05;
  return 0.9;
}

// The ball strikes a player of the line who is jumping or landing.
bool StrikesJumper(const TWorld& W) {
  const int n = PlayerCount(W);
  for (int b = 1; b <= 2; ++b) {
    for (int k = 1; k <= n; ++k) {
      const TPlayer& P = W.Teams[b].Players[k];
      if (!(P.LineOutTimer > 0) || !(OnJump(P) || OnLanding(P))) continue;
      if (BallDistance(W, P) < kStrikeReach && W.BallPos.y < BodyFactor(P) * P.Height) return true;
    }
  }
  return false;
}

// A throw nobody takes turns into a loose ball, unless it is still within
// 0.5 m of touch.
void FailedThrow(TWorld& W) {
  if (W.gamestate != gsLineout || W.Teams[1].BallCarrier != 0 || !(W.LineoutPhase > 12)) return;
  const TPlayer* J1 = Jumper(W, 1);
  const TPlayer* J2 = Jumper(W, 2);
  const bool struck = StrikesJumper(W);
  bool failed = struck || (W.BallPos.y < kDropHeight && W.PrevBallPos.y > kDropHeight) ||
                W.BallPos.y < 2.0 * W.BallRadius;
  if (W.PassVel.y < 0 && std::fabs(static_cast<double>(W.PassVel.x)) > kCrossSpeed && SailsOver(W, J1) &&
      SailsOver(W, J2)) {
    failed = true;
  }
  if (J1 != nullptr && J2 != nullptr) {
    if (BallPast(W, PointBeyond(W, *J1)) && BallPast(W, PointBeyond(W, *J2))) failed = true;
    if (OnLanding(*J1) && AnimationShare(*J1) > 0.25 && OnLanding(*J2) && AnimationShare(*J2) > 0.25) failed = true;
  }
  if (!failed) return;
  if (std::fabs(static_cast<double>(W.BallPos.x)) >= 0.5 * W.PitchWidth - kTouchMargin) return;
  W.BlocksSwapped = kTrue32;
  ClearTouchFlags(W);
  TLaunchParams l{};
  if (struck) {
    const f32 scale = ToF32(RandomRange(30, 51) / 100.0);
    l = VelocityToLaunchAngles(true, -W.PassVel.x, W.PassVel.y, W.PassVel.z, scale);
  } else {
    l = VelocityToLaunchAngles(false, W.PassVel.x, W.PassVel.y, W.PassVel.z, 0.5f);
  }
  RelaunchFreeBall(W, l);
  LooseFromLineout(W);
}

}  // namespace

void LineoutContact(TWorld& W) {
  Contest(W);
  FailedThrow(W);
}
