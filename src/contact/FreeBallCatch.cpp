#include "contact/FreeBallCatch.h"

#include <algorithm>
#include <cmath>

#include "contact/RunningStoppages.h"
#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/Lines.h"
#include "core/MirrorWorld.h"
#include "core/OptionWeights.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "core/SupportSpot.h"

namespace {

constexpr double kFallHeight = 3.0;      // m, the ball is scanned below it
constexpr double kFallWindow = 0.5;      // s, or when it falls to 3 m within this
// Distances to the ball are stored 32-bit values and compare as such.
constexpr f32 kCatchReach = 0.75f;       // m across the ground
constexpr double kReachBand = 1.1;       // x reach or height, judged half a frame on
constexpr double kJumpLift = 0.4;        // m, both heights of a jump catch or tip-on
constexpr f32 kTouchReach = 0.35f;       // m, a player struck outside a catch
constexpr f32 kTouchClear = 0.5f;        // m, the ball meets his catch point
constexpr f32 kFootReach = 0.4f;         // m, foot to ball of a loose-ball kick
constexpr f32 kContestBand = 0.1f;       // m, closer catchers draw for the ball
constexpr f32 kPressureRange = 3.0f;     // m, an opponent this near spoils the save
constexpr f32 kPressureRadius = 8.0f;    // m from the ball
constexpr i32 kFatiguePenalty = 45;      // per mille
constexpr i32 kSureCatch = 1002;         // the look-ahead's threshold
constexpr i32 kSaveChance = 500;         // per mille
constexpr f32 kKeyEventTime = 4.0f;      // s
constexpr i16 kReturnRun = 1;            // KickReturnOption "kick return run"

// FreeBallCatchKind codes.
constexpr f32 kRunningLow = 1.0f;
constexpr f32 kRunningChest = 3.0f;
constexpr f32 kJumpCatch = 5.0f;
constexpr f32 kJumpTipOn = 6.0f;
constexpr f32 kLooseDive = 7.0f;
constexpr f32 kLooseKick = 8.0f;

bool LookAheadCopy(const TWorld& W) { return W.LiveWorld == 0; }

bool CatchRuns(const TPlayer& P) { return P.freeballcatchtimer > 0; }

void Post(TWorld& W, int b, const TPlayer& P, u8 Code) { PostMessage(W, W.Teams[b].teamid, P.id, Code, 0.0f); }

// ---------------------------------------------------------------- the scan

// The ball's velocity at the current step of its flight; still outside the
// flight's 1000 steps.
TVector3 FlightStepVelocity(const TWorld& W) {
  return W.BallPhase >= 1 && W.BallPhase <= 1000 ? W.FlightVel[W.BallPhase] : TVector3{0, 0, 0};
}

// The ball falls below 3 m soon enough to be met this frame. A zero
// TimeStep counts as a ball that does not move.
bool BallWithinCatchHeight(const TWorld& W) {
  const double vy = W.TimeStep > 0 ? (static_cast<double>(W.BallPos.y) - W.PrevBallPos.y) / W.TimeStep : 0.0;
  double fall = 10.0;  // s, to 3 m
  if (vy < -0.1 && W.BallPos.y > kFallHeight) fall = (W.BallPos.y - kFallHeight) / std::fabs(vy);
  return !(W.BallPos.y >= kFallHeight && fall >= kFallWindow);
}

struct THeights {
  double Low, High;  // m
};

// The band of heights in which player P meets the ball, from his action.
THeights HeightBand(const TPlayer& P) {
  THeights h{0.0, P.Height};
  if (!CatchRuns(P)) return h;
  const f32 k = P.FreeBallCatchKind;
  if (k == kJumpCatch || k == kJumpTipOn) {
    h.Low += kJumpLift;
    h.High += kJumpLift;
  } else if (k == kLooseDive) {
    h.High = 0.4 * P.Height;
  } else if (k == kLooseKick) {
    h.High = 0.2 * P.Height;
  }
  return h;
}

// His animation is near the frame where hands (or foot) meet the ball. No
// window without a positive maxframes.
bool CatchWindowOpen(const TWorld& W, const TPlayer& P) {
  if (!(P.maxframes > 0)) return false;
  const double half = P.AnimRate * W.TimeStep / 2.0;
  const double ahead = (P.currentframe + half) / P.maxframes;
  const double behind = (P.currentframe - half) / P.maxframes;
  const double r = P.FreeBallCatchRecoverFraction;
  return ahead > r - 0.15 && behind < r + 0.3 && !(P.currentAnim == "jumpcatchp2") &&
         !(P.currentAnim == "jumpcatchtipp2");
}

// The foot of a loose-ball kick, 0.15 m from him at 15 degrees off his
// catch facing, reaches the ball.
bool FootMeetsBall(const TWorld& W, const TPlayer& P) {
  const TDirection d = HeadingDirection(static_cast<double>(P.FreeBallCatchFacing) + 15.0);
  const f32 fx = ToF32(P.Pos.x + 0.15 * d.x);
  const f32 fz = ToF32(P.Pos.z + 0.15 * d.z);
  return Distance2D(fx, fz, W.BallPos.x, W.BallPos.z) <= kFootReach;
}

bool WithinCatchReach(const TWorld& W, const TPlayer& P, f32 d, const TVector3& v) {
  if (d < kCatchReach) return true;
  if (!(d < ToF32(kReachBand * kCatchReach))) return false;
  const double t = 0.5 * W.TimeStep;
  const f32 ahead = Distance2D(ToF32(W.BallPos.x + t * v.x), ToF32(W.BallPos.z + t * v.z),
                               ToF32(P.Pos.x + t * P.Velocity.x), ToF32(P.Pos.z + t * P.Velocity.z));
  return ahead < kCatchReach;
}

bool WithinCatchHeight(const TWorld& W, const THeights& h, const TVector3& v) {
  const double y = W.BallPos.y;
  if (!(y > h.Low)) return false;
  if (y < h.High) return true;
  return y < kReachBand * h.High && y + 0.5 * W.TimeStep * v.y < h.High;
}

bool IsCatcher(const TWorld& W, const TPlayer& P, f32 d, const THeights& h, const TVector3& v) {
  if (!CatchRuns(P) || P.BallTouchLockTimer > 0 || !CatchWindowOpen(W, P)) return false;
  if (P.FreeBallCatchKind == kLooseKick && !FootMeetsBall(W, P)) return false;
  return WithinCatchReach(W, P, d, v) && WithinCatchHeight(W, h, v);
}

// A ball coming to a player whose catch is still to meet it does not strike
// him: it reaches his catch point within 0.5 m of him, or passes above 0.85
// of his top height.
bool CatchWillMeetBall(const TWorld& W, const TPlayer& P, const THeights& h, const TVector3& v) {
  if (W.BallPos.y > 0.85 * h.High) return true;
  if (!(P.maxframes > 0) || !(P.AnimRate > 0)) return false;
  const double progress = static_cast<double>(P.currentframe) / P.maxframes;
  const double r = P.FreeBallCatchRecoverFraction;
  if (!(progress < r)) return false;
  const double t = (r - progress) * P.maxframes / P.AnimRate;
  const f32 bx = ToF32(W.BallPos.x + t * v.x);
  const f32 bz = ToF32(W.BallPos.z + t * v.z);
  return Distance2D(bx, bz, P.Pos.x, P.Pos.z) <= kTouchClear;
}

bool IsStruck(const TWorld& W, const TPlayer& P, f32 d, const THeights& h, const TVector3& v) {
  if (P.KickTimer > 0 || P.BallTouchLockTimer > 0 || !(d < kTouchReach)) return false;
  if (!(W.BallPos.y > h.Low && W.BallPos.y < h.High)) return false;
  return !(CatchRuns(P) && CatchWillMeetBall(W, P, h, v));
}

void ScanBlock(TWorld& W, int b, const TVector3& v) {
  f32 bestCatch = 0, bestTouch = 0;
  const int n = PlayerCount(W);
  for (int p = 1; p <= n; ++p) {
    const TPlayer& P = W.Teams[b].Players[p];
    const THeights h = HeightBand(P);
    const f32 d = Distance2D(W.BallPos.x, W.BallPos.z, P.Pos.x, P.Pos.z);
    if (IsCatcher(W, P, d, h, v) && (W.FreeBallCatcher[b] == 0 || d < bestCatch)) {
      W.FreeBallCatcher[b] = p;
      bestCatch = d;
    }
    if (IsStruck(W, P, d, h, v) && (W.FreeBallToucher[b] == 0 || d < bestTouch)) {
      W.FreeBallToucher[b] = p;
      bestTouch = d;
    }
  }
}

// ---------------------------------------------------------------- the catch

f32 DistanceToBall(const TWorld& W, const TPlayer& P) { return Distance2D(W.BallPos.x, W.BallPos.z, P.Pos.x, P.Pos.z); }

// A mark may follow the full catch of the other side's kick (play or drop
// kind) by block-1 player C inside his own 22, not in his in-goal, unless
// the ball came from a pass; a roll above his MarkProb takes it away.
bool MarkPossible(const TWorld& W, const TPlayer& C) {
  const double goal = -0.5 * W.PitchLength;
  const bool kind = W.KickType == kKickTypePlay || W.KickType == kKickTypeDropOut || W.KickType == kKickTypeDropGoal;
  if (W.BallBouncedInField != 0 || W.KickTouchFlag2 != 0 || !kind || W.BlocksSwapped != 0) return false;
  if (!(C.Pos.z < goal + 22.0 && C.Pos.z > goal) || W.FromGameState == gsPassing) return false;
  return !(RandomRange(1, 1001) > C.MarkProb);
}

// The kick-return option of block 1 from its current field-strategy half
// (the catch-up one while CatchingUp), zone of the ball, KickReturnOptions.
void DrawKickReturn(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  A.KeyEventTimer = kKeyEventTime;
  W.Teams[2].KeyEventTimer = 0;
  const TFieldStrategy& F = FieldStrategyOfBlock(W, 1);
  W.FieldHalf = A.CatchingUp != 0 ? F.CatchUp : F.Normal;
  const int zone = FindFieldZone(W.FieldHalf, kFalse32, W.BallPos.x, W.BallPos.z);
  A.KickReturnOption = static_cast<i16>(DrawZoneOption(W, W.FieldHalf.Families[2], zone));
}

void ReturnByRunning(TTeamBlock& A) {
  A.KeyEventTimer = 0;
  A.KickReturnOption = kReturnRun;
}

// The match world's pressure check (a block-2 player who can reach the ball
// before the drawn limit forces a run, or the mark when one is possible),
// then a forward's roll against his KickReturnKickProb.
void CheckKickReturn(TWorld& W, int c, TMarkChance& Mark) {
  TTeamBlock& A = W.Teams[1];
  if (!LookAheadCopy(W) && A.KickReturnOption != kReturnRun) {
    double limit = RandomRange(825, 950) / 1000.0;  // s
    if (Mark.Possible) limit += 0.25;
    const int n = PlayerCount(W);
    for (int j = 1; j <= n; ++j) {
      const TPlayer& O = W.Teams[2].Players[j];
      if (O.OldTackleTimer > 0 || O.RuckJoinDelay > 0 || O.standuptimer > 0) continue;
      const f32 d = DistanceToBall(W, O);
      if (!(d < kPressureRadius) || !(TimeToCoverAccelerating(O.speed, O.Acceleration, O.maxspeed, d) < limit)) {
        continue;
      }
      if (Mark.Possible) {
        Mark.Called = true;
      } else {
        ReturnByRunning(A);
      }
      break;
    }
  }
  constexpr int kLastForward = 8;
  if (A.KickReturnOption != kReturnRun && c <= kLastForward &&
      RandomRange(1, 1001) > A.Players[c].KickReturnKickProb) {
    ReturnByRunning(A);
    Mark.Called = false;
  }
}

// The carrier stands on the ground, unless still in the first part of a
// jump catch.
void SetCarrierGrounded(TWorld& W, const TPlayer& C) {
  const bool inAir =
      C.currentAnim == "jumpcatchp1" || C.currentAnim == "jumpcatchhighp1" || C.currentAnim == "jumpcatchtipp1";
  W.CarrierGrounded = Flag(!inAir);
}

// Block-1 player c takes the ball: "running", the mark chance, msgCarryStart
// and the end of block 2's pressure countdowns.
void StartCarry(TWorld& W, int c, TMarkChance& Mark) {
  TTeamBlock& A = W.Teams[1];
  A.BallCarrier = c;
  W.gamestate = gsRunning;
  Mark.Possible = MarkPossible(W, A.Players[c]);
  Post(W, 1, A.Players[c], msgCarryStart);
  W.Teams[2].PressureTimerA = 0;
  W.Teams[2].PressureTimerB = 0;
}

void FinishCarryStart(TWorld& W, TPlayer& C) {
  if (C.FreeBallCatchKind == kRunningLow || C.FreeBallCatchKind == kRunningChest) {
    C.FreeBallCatchAngle = C.FreeBallCatchFacing;
  }
  W.RunningPhase = 1;
}

// Free in the sense of the counter-attack line: no tackle, ruck, stand-up,
// lineout, pass catch or free-ball catch under way.
bool FreeToRun(const TPlayer& P) {
  return P.GettingTackledTimer <= 0 && P.TackleAttemptTimer <= 0 && P.OldTackleTimer <= 0 && P.RuckTimer <= 0 &&
         P.RuckJoinDelay <= 0 && P.standuptimer <= 0 && P.LineOutTimer <= 0 && P.passcatchtimer <= 0 &&
         P.freeballcatchtimer <= 0;
}

// The opponents round the catcher, as the counter-attack line reads them.
struct TCatchCrowd {
  int Near = 0, Lower = 0, Higher = 0, InFront = 0;
  double Gap = 10000.0;  // m, the least z gap to an opponent ahead within 2.5 m across
  bool Blocked = false;  // an opponent within 1.75 m in x and z
};

TCatchCrowd ReadCatchCrowd(const TWorld& W, const TPlayer& C) {
  TCatchCrowd r;
  const double cx = C.Pos.x, cz = C.Pos.z;
  const int n = PlayerCount(W);
  for (int j = 1; j <= n; ++j) {
    const TPlayer& O = W.Teams[2].Players[j];
    if (!FreeToRun(O)) continue;
    const double ox = O.Pos.x, oz = O.Pos.z;
    const double ax = std::fabs(ox - cx), az = std::fabs(oz - cz);
    if (oz < cz + 10.0) ++r.Near;
    if (oz > cz) {
      ++(ox <= cx ? r.Lower : r.Higher);
      if (ax < 2.0) ++r.InFront;
      if (ax < 2.5) r.Gap = std::min(r.Gap, az);
    }
    if (ax < 1.75 && az < 1.75) r.Blocked = true;
  }
  return r;
}

// The team-mate of carrier c, ahead of him and free, not yet taken, who
// reaches spot (sx, sz) first at his unfatigued top speed; 0 none. A top
// speed of 0 or less is never taken.
int FastestToSpot(const TWorld& W, int c, f32 sx, f32 sz) {
  const TTeamBlock& A = W.Teams[1];
  const double cz = A.Players[c].Pos.z;
  const int n = PlayerCount(W);
  int best = 0;
  double bestTime = 0;
  for (int i = 1; i <= n; ++i) {
    const TPlayer& P = A.Players[i];
    if (i == c || !(P.Pos.z > cz) || !FreeToRun(P) || !(P.MaxSpeedNonFatigued > 0)) continue;
    if (std::find(W.ChoiceWeights.begin(), W.ChoiceWeights.end(), i) != W.ChoiceWeights.end()) continue;
    const double t = Distance2D(P.Pos.x, P.Pos.z, sx, sz) / static_cast<double>(P.MaxSpeedNonFatigued);
    if (best == 0 || t < bestTime) {
      best = i;
      bestTime = t;
    }
  }
  return best;
}

// Match world, after a catch of the other side's kick with a run option:
// the mark when an opponent is near, CatchCrowdSide, and 5 to 7 team-mates
// sent to spots spread across the pitch 5 m behind the ball, unless nobody
// stands in front of the catcher or an opponent is on him. ChoiceWeights
// holds the players taken.
void PlaceCounterAttackLine(TWorld& W, int c, TMarkChance& Mark) {
  const TPlayer& C = W.Teams[1].Players[c];
  const TCatchCrowd crowd = ReadCatchCrowd(W, C);
  if (Mark.Possible && crowd.Near >= 1) Mark.Called = true;
  const double halfWidth = 0.5 * W.PitchWidth;
  W.CatchCrowdSide = 0;
  if (crowd.Lower > 0 && C.Pos.x < -halfWidth + 7.0) W.CatchCrowdSide = 1;
  if (crowd.Higher > 0 && C.Pos.x > halfWidth - 7.0) W.CatchCrowdSide = 2;
  if (crowd.Blocked || crowd.InFront == 0) return;

  W.QuickResampleTimer = crowd.Gap > 5.0 ? 1.5f : 1.25f;
  const int spots = RandomRange(5, 8);
  for (i16& e : W.ChoiceWeights) e = 0;
  const double spacing = (W.PitchWidth - 5.0) / spots;
  const f32 sz = ToF32(W.BallPos.z - 5.0);
  for (int k = 1; k <= spots; ++k) {
    const double along = 2.5 + (k - 1) * spacing;
    const f32 sx = ToF32(W.BallPos.x < 0 ? -halfWidth + along : halfWidth - along);
    const int i = FastestToSpot(W, c, sx, sz);
    if (i == 0) return;
    W.ChoiceWeights[k] = static_cast<i16>(i);
    TPlayer& P = W.Teams[1].Players[i];
    P.ActionSeq = StrategyParams.ActionSeqTemplate;
    TActionEvent& e = P.ActionSeq.EventArray[1];
    e.EventType = 14;
    e.DistOrig = Distance2D(P.Pos.x, P.Pos.z, sx, sz);
    e.Angle = HeadingToPoint(P.Pos.x, P.Pos.z, sx, sz, 90.0f);
    e.TargetX = sx;
    e.EndCondition = 3;
  }
}

}  // namespace

void ScanBallArrival(TWorld& W) {
  for (int b = 1; b <= 2; ++b) {
    W.FreeBallCatcher[b] = 0;
    W.FreeBallToucher[b] = 0;
  }
  if (!BallWithinCatchHeight(W)) return;
  const TVector3 v = FlightStepVelocity(W);
  ScanBlock(W, 1, v);
  ScanBlock(W, 2, v);
}

int ChooseCatchingBlock(TWorld& W) {
  const TPlayer* c1 = W.FreeBallCatcher[1] >= 1 && W.FreeBallCatcher[1] <= PlayerCount(W)
                          ? &W.Teams[1].Players[W.FreeBallCatcher[1]]
                          : nullptr;
  const TPlayer* c2 = W.FreeBallCatcher[2] >= 1 && W.FreeBallCatcher[2] <= PlayerCount(W)
                          ? &W.Teams[2].Players[W.FreeBallCatcher[2]]
                          : nullptr;
  if (c1 == nullptr || c2 == nullptr) return c1 != nullptr ? 1 : (c2 != nullptr ? 2 : 0);
  const f32 d1 = DistanceToBall(W, *c1);
  const f32 d2 = DistanceToBall(W, *c2);
  // The gap of the two 32-bit distances, as a 32-bit value.
  if (std::fabs(ToF32(static_cast<double>(d1) - d2)) >= kContestBand) return d1 < d2 ? 1 : 2;
  return RandomRange(1, 1001) >= 501 ? 2 : 1;
}

bool FreeBallCatchHolds(TWorld& W, int Block) {
  const i32 c = W.FreeBallCatcher[Block];
  if (c < 1 || c > PlayerCount(W)) return false;
  const TPlayer& P = W.Teams[Block].Players[c];
  const i32 roll = RandomRange(1, 1001);
  i32 threshold = kSureCatch;
  if (!LookAheadCopy(W)) {
    threshold = P.FreeBallCatchKind == kJumpCatch ? P.HighBallProb : P.CleanCatchProb;
    if (P.Fatigued != 0) threshold -= kFatiguePenalty;
  }
  bool holds = roll <= threshold;
  if (!holds) {
    bool pressed = false;
    const int n = PlayerCount(W);
    for (int j = 1; j <= n && !pressed; ++j) {
      const TPlayer& O = W.Teams[3 - Block].Players[j];
      pressed = O.RuckJoinDelay <= 0 && O.RuckTimer <= 0 &&
                Distance2D(O.Pos.x, O.Pos.z, P.Pos.x, P.Pos.z) <= kPressureRange;
    }
    holds = !pressed && RandomRange(1, 1001) < kSaveChance;
  }
  return holds && P.FreeBallCatchKind != kLooseKick;
}

void CatchInBlock1(TWorld& W, TMarkChance& Mark) {
  const int c = W.FreeBallCatcher[1];
  TTeamBlock& A = W.Teams[1];
  StartCarry(W, c, Mark);
  const bool late = W.clock > 2.0 * W.halflength - 120.0;
  if (W.BallBouncedInField != 0 && W.BallPos.z <= 0.5 * W.PitchLength - 22.0 && !HasNumbersAdvantage(W) && !late) {
    DrawKickReturn(W);
  }
  CheckKickReturn(W, c, Mark);
  W.DefenceCycleTimer = 0;
  for (TTeamBlock& T : W.Teams) T.StrategyTimer = 0;
  A.SidePlaySeq = 0;
  A.CarryStartFlag = kTrue32;
  TPlayer& C = A.Players[c];
  SetCarrierGrounded(W, C);
  FinishCarryStart(W, C);
  C.SupportGridCleared = kTrue32;
}

void ApplyRestartTenMetreRule(TWorld& W) {
  if (W.gamestate != gsRunning || !(W.KickType == kKickTypeKind1 || W.KickType == kKickTypeKickOff) || W.BlocksSwapped == 0) return;
  const TPlayer* C = PlayerAt(W.Teams[1], W.Teams[1].BallCarrier);
  constexpr f32 kRestartDistance = 10.0f;  // m
  if (C == nullptr || !(C->Pos.z < kRestartDistance) || W.Infringements[1].Kind != 0) return;
  constexpr i32 kRestartScrum = 0;
  StopPlay(W, kRestartScrum, gsScrum, true);
  W.ScrumSpot = {0, 0};
}

void CatchInBlock2(TWorld& W, TMarkChance& Mark) {
  const int c = W.FreeBallCatcher[2];
  Toggle32(W.Team1InFirstBlock);
  MirrorWorld(W);
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  StartCarry(W, c, Mark);
  TPlayer& C = A.Players[c];
  const int n = PlayerCount(W);
  for (int j = 1; j <= n; ++j) {
    if (D.Players[j].OffsideMark > 0) D.Players[j].OffsideLineZ = ToF32(C.Pos.z + 10.0);
  }
  DrawKickReturn(W);
  CheckKickReturn(W, c, Mark);
  if (A.KickReturnOption != kReturnRun) {
    ++W.CatchOptionStreak;
    if (RandomRange(7, 11) < W.CatchOptionStreak && Mark.Possible && !Mark.Called) {
      W.CatchOptionStreak = 0;
      A.KickReturnOption = kReturnRun;
    }
  } else {
    W.CatchOptionStreak = 0;
  }
  if (!LookAheadCopy(W) && A.KickReturnOption == kReturnRun) PlaceCounterAttackLine(W, c, Mark);
  W.DefenceCycleTimer = 0;
  const TPlayer* kicker = PlayerAt(D, D.BallKicker);
  for (int j = 1; j <= n; ++j) {
    TPlayer& P = D.Players[j];
    if (Distance2D(P.Pos.x, P.Pos.z, C.Pos.x, C.Pos.z) >= 10.0f) P.OffsideMark = 0;
    // Behind their kicker, in the sense of their attack (-z): back onside.
    if (kicker != nullptr && !(P.Pos.z < kicker->Pos.z)) P.OffsideMark = 0;
  }
  for (TTeamBlock& T : W.Teams) T.StrategyTimer = 0;
  A.SidePlaySeq = 0;
  A.DecisionTimer = 0;
  if (!LookAheadCopy(W)) A.DecisionRequested = kTrue32;
  SetCarrierGrounded(W, C);
  FinishCarryStart(W, C);
  if (C.SupportGridCleared == 0) ClearPlayerSupportCells(A, c);
  C.SupportGridCleared = kTrue32;
}

void CallMark(TWorld& W, const TMarkChance& Mark) {
  if (W.gamestate != gsRunning || !Mark.Possible || !Mark.Called) return;
  const TPlayer* C = PlayerAt(W.Teams[1], W.Teams[1].BallCarrier);
  if (C == nullptr) return;
  W.MarkCalled = kTrue32;
  Post(W, 1, *C, msgMark);
}
