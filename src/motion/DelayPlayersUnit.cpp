#include "motion/DelayPlayersUnit.h"

#include <bit>
#include <cstdint>
#include <utility>

#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/MatchStore.h"
#include "core/MoveBooks.h"
#include "core/PointOfInterest.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/StrategyShapes.h"
#include "core/SupportSpot.h"
#include "core/WorldDefaults.h"
#include "motion/AnimatePlayersUnit.h"

namespace {

constexpr f32 kContactCheckRearm = 0.025f;  // s
constexpr f32 kGetUpHold = 10.0f;           // s of standuptimer; the animation step ends the get-up
constexpr f32 kRollOverTime = 0.3f;         // s on the back before a blocker gets up
constexpr f32 kRollOverFrames = 100.0f;
constexpr f32 kLyingCutOff = 1.0f;          // s, longest lie in tryscored and transition
constexpr f32 kKickRunCreep = 0.05f;        // m/s, a place or drop kicker near the strike
constexpr double kDropKickSlowAt = 0.8;     // fraction of the kick animation
constexpr double kPlaceKickSlowAt = 0.9;
constexpr double kLooseBallLead = 2.0;      // m ahead along the catch heading
constexpr double kFollowGap = 0.25;         // m behind (block 1) or in front of (block 2) the followed player
constexpr double kMaulHoldGap = 0.5;        // m behind the carrier
constexpr double kInjuryScale = 0.75;       // a serious injury cuts speed, acceleration and ratings
constexpr i32 kKnockChance = 925;           // per mille of injuries that are knocks
constexpr i32 kEvenChance = 500;            // per mille
constexpr int kLastForward = 8;             // players 1..8 may be taken out to a support cell
constexpr i16 kInjuryFaceUpTrack = 67;
constexpr i16 kInjuryFaceDownTrack = 68;
constexpr f32 kInjuryLoopFrames = 1900.0f;

// ---------------------------------------------------------------- counting
void CountUp(f32& T, f32 Dt) { T = ToF32(static_cast<double>(T) + Dt); }
void CountDown(f32& T, f32 Dt) { T = ToF32(static_cast<double>(T) - Dt); }

// A one-shot countdown: counted only while above 0; true on the frame it
// reaches 0 or below.
bool RunsOut(f32& T, f32 Dt) {
  if (!(T > 0.0f)) return false;
  CountDown(T, Dt);
  return T <= 0.0f;
}

// Counted only while above 0, so it stops just at or below 0.
void CountDownWhileRunning(f32& T, f32 Dt) { (void)RunsOut(T, Dt); }

bool InRunningPassingOrFreeBall(const TWorld& W) {
  return W.gamestate == gsRunning || W.gamestate == gsPassing || W.gamestate == gsFreeBall;
}

// The forced-movement pattern: one frame along heading H at Speed m/s.
void MoveAlong(const TWorld& W, TPlayer& P, f32 H, f32 Speed) {
  SetDesiredPosAlongHeading(P, H, static_cast<double>(Speed) * W.TimeStep);
}

void HoldOnSpot(TPlayer& P) { P.DesiredPos = P.Pos; }

// ---------------------------------------------------------------- clocks and plain timers
// World clocks, the carrier's carry and held times, time in passing.
void CountPlayClocks(TWorld& W) {
  const f32 dt = W.TimeStep;
  CountUp(W.ElapsedTime, dt);
  CountUp(W.TimeSinceSetPiece, dt);
  CountUp(W.TimeSinceTackle, dt);
  CountUp(W.BreakdownClock, dt);
  CountUp(W.PlayClock, dt);
  TPlayer* C = W.gamestate == gsRunning ? PlayerAt(W.Teams[1], W.Teams[1].BallCarrier) : nullptr;
  if (C != nullptr) CountDown(C->CarryTimer, dt);
  if (C != nullptr && C->GettingTackledTimer > 0.0f) {
    CountUp(W.CarrierHeldTime, dt);
  } else {
    W.CarrierHeldTime = 0.0f;
    W.GoToGroundDecided = kFalse32;
  }
  if (W.gamestate == gsPassing) CountUp(W.TimeInPassing, dt);
  else W.TimeInPassing = 0.0f;
}

// The move books and the open-play sampler's guard live beside the world and
// belong to the match: they stand still in the look-ahead copy. SearchFlag
// is left set when the nearest defender's closing time was above the
// threshold; its fall through the threshold asks both books to resample.
void CountSamplerTimers(TWorld& W) {
  if (!W.LiveWorld) return;
  const f32 dt = W.TimeStep;
  for (int b = 1; b <= 2; ++b) {
    TMoveBook& B = MoveBooks[b];
    CountDown(B.ResampleTimer, dt);
    CountDown(B.HoldTimer, dt);
    CountUp(B.TimeSinceSample, dt);
  }
  TStrategyParams& S = StrategyParams;
  CountDown(S.ClosingScanTimer, dt);
  const bool wasAbove = S.NearestClosing > S.ClosingThreshold;
  CountDown(S.NearestClosing, dt);
  if (wasAbove && !(S.NearestClosing > S.ClosingThreshold)) {
    MoveBooks[1].ResampleTimer = 0.0f;
    MoveBooks[2].ResampleTimer = 0.0f;
  }
  CountDown(S.TouchDangerTimer, dt);
  W.SearchFlag = wasAbove ? kTrue32 : kFalse32;
}

void CountStoppageClocks(TWorld& W) {
  const f32 dt = W.TimeStep;
  CountDown(W.RestartDelay, dt);
  CountUp(W.PossessionClock, dt);
  if (W.gamestate != gsGotTackled) W.RuckWaitClock = 0.0f;
  else if (W.RestartDelay <= 0.0f) CountUp(W.RuckWaitClock, dt);
  if (W.gamestate != gsRunning) W.MarkCalled = kFalse32;
  CountDown(W.FreeBallContactTimer, dt);
  CountDown(W.Teams[1].SampleTimer, dt);
  CountDown(W.Teams[2].SampleTimer, dt);
  CountDown(W.ReceiveTimer, dt);
  CountUp(W.Teams[2].FullbackCoverTimer, dt);
  if (!(W.ContactCheckTimer > 0.0f)) W.ContactCheckTimer = kContactCheckRearm;
  CountDown(W.ContactCheckTimer, dt);
}

// The referee's clock stands after half time until play is live again, and
// never runs past the end of the half being played.
void AdvanceMatchClock(TWorld& W) {
  if (W.HalfTimeReached == kFalse32) {
    CountUp(W.clock, W.TimeStep);
  } else if (InRunningPassingOrFreeBall(W)) {
    W.HalfTimeReached = kFalse32;
    CountUp(W.clock, W.TimeStep);
  }
  if (W.MatchPhase == 1) {
    if (W.clock > W.halflength) W.clock = W.halflength;
  } else if (W.MatchPhase == 2 || W.MatchPhase == 3) {
    const f32 fullTime = ToF32(2.0 * W.halflength);
    if (W.clock > fullTime) W.clock = fullTime;
  }
}

void CountDefenceAndCarry(TWorld& W) {
  const f32 dt = W.TimeStep;
  CountDown(W.DefenceCycleTimer, dt);
  if (W.gamestate == gsRunning) {
    TTeamBlock& A = W.Teams[1];
    if (const TPlayer* C = PlayerAt(A, A.BallCarrier); C != nullptr && C->Pos.z > A.CarryMaxZ) A.CarryMaxZ = C->Pos.z;
  }
  CountDown(W.OffloadBlockTimer, dt);
  CountDown(W.PostHitTimer, dt);
}

// The merged passes' stages. Their bodies are inline in this unit, so each
// pass holds them in its loop; the functions the header exposes for the
// tests forward to them.
namespace body {

inline void CountPlainTimers(TWorld& W, int i) {
  const f32 dt = W.TimeStep;
  for (int b = 1; b <= 2; ++b) {
    TPlayer& P = W.Teams[b].Players[i];
    CountDown(P.RunningAngleReactionTime.value, dt);
    CountDown(P.ChaseTimer, dt);
    CountDown(P.ContactDelayTimer, dt);
    CountDown(P.AuxTimer2, dt);
    CountDown(P.AuxTimer1, dt);
    CountDown(P.BallTouchLockTimer, dt);
    CountDownWhileRunning(P.UserActionTimer, dt);
  }
}

// A block 2 run-out of the pass reaction is the pass unit's to act on.
inline void CountPassReaction(TWorld& W, int i) {
  const f32 dt = W.TimeStep;
  CountDown(W.Teams[1].Players[i].ReactionDelayExtra2.value, dt);
  if (RunsOut(W.Teams[2].Players[i].ReactionDelayExtra2.value, dt)) DefenderTriesInterception(W, i);
}

inline void CountPassRead(TWorld& W, int i) {
  const f32 dt = W.TimeStep;
  CountDown(W.Teams[1].Players[i].PassReadTimer, dt);
  TPlayer& PD = W.Teams[2].Players[i];
  if (PD.PassReadTimer > 0.0f) {
    CountDown(PD.PassReadTimer, dt);
    DefenderReadsPass(W, i);
  }
}

// A listed chaser whose angle reaction runs out in running presses at once.
inline void CountAngleReaction(TWorld& W, int i) {
  const f32 dt = W.TimeStep;
  TTeamBlock& D = W.Teams[2];
  CountDown(W.Teams[1].Players[i].DefensiveRunningAngleReactionTime.value, dt);
  if (RunsOut(D.Players[i].DefensiveRunningAngleReactionTime.value, dt) && W.gamestate == gsRunning &&
      IsListedChaser(D, i)) {
    D.PressureTimerA = 0.0f;
    D.PressureTimerB = 0.0f;
  }
}

inline void CountAuxTimer3(TWorld& W, int i) {
  CountDown(W.Teams[1].Players[i].AuxTimer3, W.TimeStep);
  CountDown(W.Teams[2].Players[i].AuxTimer3, W.TimeStep);
}

}  // namespace body

}  // namespace

void CountPlainTimers(TWorld& W, int i) { body::CountPlainTimers(W, i); }
void CountPassReaction(TWorld& W, int i) { body::CountPassReaction(W, i); }
void CountPassRead(TWorld& W, int i) { body::CountPassRead(W, i); }
void CountAngleReaction(TWorld& W, int i) { body::CountAngleReaction(W, i); }
void CountAuxTimer3(TWorld& W, int i) { body::CountAuxTimer3(W, i); }

namespace {

// The plain countdowns of every player and the defenders' pass and angle
// reactions, in one pass over the players. It is the order of the separate
// loops per player: each stage for player i reads and writes only his own
// timers, the blocks' pressure timers (set to 0, counted after the pass)
// and fields no stage here writes; the only draws are the pass reads', still
// in player order. The loose-pass chase, run after this pass now, reads and
// writes none of the angle reaction timers, AuxTimer3 or the pressure timers.
// tests/motion/MergedPassesTest.cpp runs the stages one at a time against it.
void CountPlayerTimersAndReactions(TWorld& W) {
  const int n = PlayerCount(W);
  for (int i = 1; i <= n; ++i) {
    body::CountPlainTimers(W, i);
    body::CountPassReaction(W, i);
    body::CountPassRead(W, i);
    body::CountAngleReaction(W, i);
    body::CountAuxTimer3(W, i);
  }
}

void CountTeamTimers(TWorld& W) {
  const f32 dt = W.TimeStep;
  TTeamBlock& D = W.Teams[2];
  CountDownWhileRunning(D.PressureTimerA, dt);
  CountDownWhileRunning(D.PressureTimerB, dt);
  CountDownWhileRunning(W.Teams[1].PressureTimerA, dt);
  CountDownWhileRunning(W.Teams[1].StrategyTimer, dt);
  CountDownWhileRunning(D.StrategyTimer, dt);
  CountDownWhileRunning(W.RunShapeTimer, dt);
}

void CountPassFlightAndRelease(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  if (A.PassFlightLeft > 0.0f) {
    CountDown(A.PassFlightLeft, W.TimeStep);
    if (A.PassFlightLeft <= 0.0f && W.gamestate == gsPassing) PassArrives(W);
    ArmPassCatch(W);
  }
  if (RunsOut(A.PassTimeLeft, W.TimeStep)) {
    ReleasePass(W);
    BallOutOfBreakdown(W);
  }
}

// ---------------------------------------------------------------- players with something under way
// Most frames only a few players are in a fall, a get-up, a forced run or
// the like; the stages visit only the players marked before them, by a
// timer above 0. A timer that a stage compares for every player, holding
// the value it had at the marking, is marked by the same compare, which
// raises the same flags. Any other is read from its bits (MayRun), which
// raises no flag, and marks when not a number too; so every compare the
// stages would make on an unmarked player is false and raises nothing.

// Above 0, or not a number; no floating-point compare.
bool MayRun(f32 T) {
  const uint32_t bits = std::bit_cast<uint32_t>(T);
  return (static_cast<int32_t>(bits) > 0) | ((bits & 0x7fffffffu) > 0x7f800000u);
}

// The player's bit in a set of marked players: in the loops' order, player
// i of block 1 then of block 2.
int PlayerBit(int b, int i) { return 2 * (i - 1) + (b - 1); }

// Calls Visit(b, i) for each marked player in the loops' order.
template <typename F>
void ForMarked(uint64_t Marked, F&& Visit) {
  for (; Marked != 0; Marked &= Marked - 1) {
    const int k = std::countr_zero(Marked);
    Visit(k % 2 + 1, k / 2 + 1);
  }
}

// ---------------------------------------------------------------- falls, stand-ups and injuries
// A block 1 player back on his feet, or out of the breakdown, rejoins play:
// a forward may be taken out to a new support cell on an even chance, every
// other player runs the template sequence back into shape.
void Rejoin(TWorld& W, int i) {
  if (i <= kLastForward && RandomRange(1, 1001) < kEvenChance) {
    RemovePlayerFromLists(W.Teams[1], static_cast<i16>(i), kTrue32, SkipLineTables);
  } else {
    StartTemplateSequence(W, static_cast<i16>(i));
  }
}

void StartGetUp(TPlayer& P, f32 Facing, i32 Kind) {
  P.standuptimer = kGetUpHold;
  P.StandUpFacing = Facing;
  P.StandUpTurn = 0.0f;
  P.StandUpKind = Kind;
}

// A diver who scored celebrates as he gets up: when he chose to, or late in
// the match with his side now ahead by at most a converted try's margin.
bool CelebratesDive(const TWorld& W, const TPlayer& P) {
  if (W.gamestate != gsTryScored) return false;
  if (P.CelebratesTry != kFalse32) return true;
  const i32 own = W.Teams[1].score;
  const i32 other = W.Teams[2].score;
  return W.clock >= ToF32(2.0 * W.halflength * 0.875) && static_cast<int64_t>(own) - 5 <= other && other <= own;
}

// A block 1 diver moves along his dive; kinds 2 to 4 slide to a stop and
// end here, other kinds are ended by their own steps.
void EndDive(TWorld& W, TPlayer& P) {
  if (!(P.DiveTimer > 0.0f)) return;
  MoveAlong(W, P, P.DiveAngle, P.DiveSpeed);
  if (P.DiveKind < 2 || P.DiveKind > 4) return;
  const f32 dt = W.TimeStep;
  CountDown(P.DiveTimer, dt);
  if (AnimProgress(P) >= 0.5) P.DiveSpeed = DepleteByRate(P.DiveSpeed, W.Gravity, dt, W.GroundFriction);
  if (P.DiveTimer <= 0.0f) StartGetUp(P, P.DiveAngle, CelebratesDive(W, P) ? P.trycelebration : 1);
}

// A blocker got past ("blockgotexitedon8") rolls off his back before he gets
// up with the turned get-up.
void EndBlockExit(TWorld& W, int b, int i) {
  TPlayer& P = W.Teams[b].Players[i];
  if (P.TackleAttemptKind != 3.0f || !(P.TackleAttemptTimer > 0.0f)) return;
  CountDown(P.TackleAttemptTimer, W.TimeStep);
  if (P.currentAnim == "blockgotexitedon8" && P.TackleAttemptTimer <= 0.0f) {
    P.TackleAttemptTimer = kRollOverTime;
    P.currentAnim.Assign("rolloverfromback");
    P.currentframe = 0.0f;
    P.maxframes = kRollOverFrames;
    P.TackleAttemptLungeFrame = ToF32(0.1 * kRollOverFrames);
    P.AnimLoop = kFalse32;
  }
  if (P.TackleAttemptTimer <= 0.0f) {
    StartGetUp(P, P.TackleAttemptFacing, P.currentAnim == "rolloverfromback" ? 17 : 1);
    if (b == 1) Rejoin(W, i);
  }
}

bool IsKind(f32 Kind, int Low, int High) { return Kind >= static_cast<f32>(Low) && Kind <= static_cast<f32>(High); }

// The fall after a tackle or a tackle attempt is over: the player lies on
// the ground, face down, or on his back for the kinds that leave him so.
void GoToGround(TWorld& W, TPlayer& P, f32& Timer, f32 Facing, bool OnBack) {
  CountDown(Timer, W.TimeStep);
  if (Timer > 0.0f) return;
  P.OldTackleTimer = P.GroundTime;
  P.OldTackleFacing = Facing;
  P.target = 0;
  P.numtargetting = 0;
  P.governedby = 0;
  P.numgoverning = 0;
  P.GroundPosture = OnBack ? 2 : 1;
}

void EndTackles(TWorld& W, TPlayer& P) {
  const bool transition = W.gamestate == gsTransition;
  if (P.GettingTackledTimer > 0.0f && (IsKind(P.GettingTackledKind, 4, 8) || transition)) {
    GoToGround(W, P, P.GettingTackledTimer, P.GettingTackledFacing,
               P.GettingTackledKind == 2.0f || P.GettingTackledKind == 7.0f);
  }
  if (P.TackleAttemptTimer > 0.0f && (IsKind(P.TackleAttemptKind, 4, 6) || transition)) {
    GoToGround(W, P, P.TackleAttemptTimer, P.TackleAttemptFacing,
               P.TackleAttemptKind == 2.0f || P.TackleAttemptKind == 6.0f);
  }
}

// A knock keeps him down a few seconds and heals when he gets up; a serious
// injury keeps him down longer and cuts his speed, acceleration and ratings
// for the rest of the match.
void Injure(TWorld& W, int b, int i) {
  TPlayer& P = W.Teams[b].Players[i];
  P.Unavailable = kTrue32;
  const bool faceUp = P.GroundPosture == 2;
  P.currentAnim.Assign(faceUp ? "injuryloopfaceup" : "injuryloopfacedown");
  P.BallTrack = faceUp ? kInjuryFaceUpTrack : kInjuryFaceDownTrack;
  P.currentframe = 0.0f;
  P.maxframes = kInjuryLoopFrames;
  P.AnimLoop = kTrue32;
  P.AnimLoopCount = 0;
  P.AnimFreshStart = kFalse32;
  const TMatchType type = MatchStore.MatchInfo.matchtype;
  const bool knock = RandomRange(1, 1001) < kKnockChance || type == mtRanked || type == mtAcademy;
  if (knock) {
    P.UnavailableKind = 0;
    P.OldTackleTimer = ToF32(RandomRange(50, 100) * 9.0 / 100.0);
    return;
  }
  P.UnavailableKind = 1;
  P.OldTackleTimer = ToF32(RandomRange(40, 100) * 15.0 / 100.0);
  P.MaxSpeedNonFatigued = ToF32(kInjuryScale * P.MaxSpeedNonFatigued);
  P.maxspeed = P.MaxSpeedNonFatigued;
  P.AccelerationInit = ToF32(kInjuryScale * P.AccelerationInit);
  P.Acceleration = P.AccelerationInit;
  P.BreakTackleProb = RoundToI16(kInjuryScale * P.BreakTackleProb);
  P.MakeTackleProb = RoundToI16(kInjuryScale * P.MakeTackleProb);
  P.ScrumPower.mean = ToF32(kInjuryScale * P.ScrumPower.mean);
  PostMessage(W, W.Teams[b].teamid, P.id, msgInjury, static_cast<f32>(i));
}

// Lying after a tackle: held still; when the lie is over an uninjured
// player is rolled for an injury (the roll is drawn even with injuries off),
// and a player whose lie is over gets up facing the way he fell.
void LieAndGetUp(TWorld& W, int b, int i) {
  TPlayer& P = W.Teams[b].Players[i];
  if (!(P.OldTackleTimer > 0.0f)) return;
  if ((W.gamestate == gsTryScored || W.gamestate == gsTransition) && P.OldTackleTimer > kLyingCutOff) {
    P.OldTackleTimer = kLyingCutOff;
  }
  HoldOnSpot(P);
  CountDown(P.OldTackleTimer, W.TimeStep);
  if (P.OldTackleTimer > 0.0f) return;
  if (P.Unavailable == kFalse32) {
    const bool hurt = RandomRange(1, 1001) < P.injury;
    if (hurt && W.injurieson != kFalse32) Injure(W, b, i);
  }
  if (P.OldTackleTimer > 0.0f) return;
  const f32 facing = ToF32(P.OldTackleFacing + (P.GroundPosture == 2 ? 180.0 : 0.0));
  StartGetUp(P, facing, 1);
  P.FacingAngle = ToF32((static_cast<double>(facing) + 90.0) * kDegToRad);
  P.Heading = facing;
  P.FacingHeading = facing;
  if (P.UnavailableKind == 0) P.Unavailable = kFalse32;
  if (b == 1) Rejoin(W, i);
}

// Players bound in a breakdown stay until their release delay runs out; a
// released block 1 player rejoins play.
void ReleaseFromBreakdown(TWorld& W, int b, int i) {
  TPlayer& P = W.Teams[b].Players[i];
  if (!(P.RuckTimer2 > 0.0f)) return;
  CountDown(P.RuckTimer2, W.TimeStep);
  HoldOnSpot(P);
  if (b == 1 && P.RuckTimer2 <= 0.0f) Rejoin(W, i);
}

// ---------------------------------------------------------------- forced movements
// The kicker runs through his kick; a drop kicker creeps from 80 % of his
// animation, a place kicker from 90 %.
void KickRun(TWorld& W, int b, int i) {
  TPlayer& K = W.Teams[b].Players[i];
  if (!(K.KickTimer > 0.0f)) return;
  if (b == 1) {
    const double progress = AnimProgress(K);
    if ((K.KickKind == 6.0f && progress >= kPlaceKickSlowAt) || (K.KickKind == 5.0f && progress >= kDropKickSlowAt)) {
      K.KickRunSpeed = kKickRunCreep;
    }
  }
  MoveAlong(W, K, K.KickRunAngle, K.KickRunSpeed);
}

void LooseBallRun(TPlayer& P) {
  if (!(P.freeballcatchtimer > 0.0f)) return;
  P.desiredspeed = P.FreeBallCatchSpeed;
  if (P.speed > P.FreeBallCatchSpeed) P.speed = P.FreeBallCatchSpeed;
  SetDesiredPosAlongHeading(P, P.FreeBallCatchAngle, kLooseBallLead);
}

// Aim one frame ahead of the followed player, a little behind (Gap < 0) or
// in front of him along z; a number that names no record is no one.
void AimAtFollowed(const TWorld& W, TPlayer& P, const TTeamBlock& Other, double Gap) {
  const TPlayer* F = PlayerAt(Other, P.playertofollow);
  if (F == nullptr) return;
  P.DesiredPos.x = ToF32(F->Pos.x + static_cast<double>(F->Velocity.x) * W.TimeStep);
  P.DesiredPos.z = ToF32(F->Pos.z + static_cast<double>(F->Velocity.z) * W.TimeStep + Gap);
}

void Follow(TWorld& W, int i) {
  TPlayer& A = W.Teams[1].Players[i];
  CountDown(A.playertofollowtimer, W.TimeStep);
  if (A.playertofollowtimer > 0.0f && A.playertofollow != 0) AimAtFollowed(W, A, W.Teams[2], -kFollowGap);
  TTeamBlock& DB = W.Teams[2];
  TPlayer& D = DB.Players[i];
  CountDown(D.playertofollowtimer, W.TimeStep);
  const bool follows = DB.DecisionsOn != kFalse32 || (W.SetPieceFlag != kFalse32 && W.LiveWorld == kFalse32) ||
                       i != DB.FollowExempt;
  if (D.playertofollowtimer > 0.0f && D.playertofollow != 0 && follows) AimAtFollowed(W, D, W.Teams[1], kFollowGap);
}

// A block 2 tackler past his lunge frame keeps his scripted-run timer but no
// longer moves along it.
void ScriptedRun(TWorld& W, int i) {
  TPlayer& A = W.Teams[1].Players[i];
  if (A.ForcedRunTimer > 0.0f) {
    MoveAlong(W, A, A.ForcedRunAngle, A.ForcedRunSpeed);
    A.speed = A.ForcedRunSpeed;
  }
  CountDown(A.ForcedRunTimer, W.TimeStep);
  TPlayer& D = W.Teams[2].Players[i];
  if (D.ForcedRunTimer > 0.0f) {
    const bool lungeOver = D.TackleAttemptTimer > 0.0f && D.currentframe >= D.TackleAttemptLungeFrame;
    if (!lungeOver) {
      MoveAlong(W, D, D.ForcedRunAngle, D.ForcedRunSpeed);
      D.speed = D.ForcedRunSpeed;
    }
    CountDown(D.ForcedRunTimer, W.TimeStep);
  }
}

inline void MaulHold(TWorld& W, uint64_t Forced) {
  TTeamBlock& A = W.Teams[1];
  if (W.gamestate != gsRunning) {
    for (int i = 1; i <= PlayerCount(W); ++i) A.Players[i].MaulHoldTimer = 0.0f;
    return;
  }
  const TPlayer* C = PlayerAt(A, A.BallCarrier);
  if (C == nullptr) return;
  ForMarked(Forced, [&](int b, int i) {
    if (b != 1) return;
    TPlayer& P = A.Players[i];
    if (P.MaulHoldTimer > 0.0f && P.MaulHoldKind == 1) {
      P.DesiredPos.x = C->Pos.x;
      P.DesiredPos.z = ToF32(C->Pos.z - kMaulHoldGap);
    }
  });
}

// Special actions of kind 0 count down here (other kinds end with their
// animation); a kicker, and block 1's receiver while the pass is still to
// be released, keep their own paths.
void SpecialAction(TWorld& W, TPlayer& P, bool KeepsOwnPath) {
  if (!(P.SpecialAnimTimer > 0.0f)) return;
  if (P.SpecialAnimKind == 0.0f) CountDown(P.SpecialAnimTimer, W.TimeStep);
  if (P.KickTimer > 0.0f || KeepsOwnPath) return;
  MoveAlong(W, P, P.SpecialAnimAngle, P.SpecialAnimSpeed);
}

// Block 1's side-step goes on only in a breakdown; block 2's in any state.
void Shimmy(TWorld& W, int b, int i) {
  TPlayer& P = W.Teams[b].Players[i];
  if (!(P.shimmytimer > 0.0f)) return;
  if (b == 2 || W.gamestate == gsGotTackled) MoveAlong(W, P, P.ShimmyAngle, P.ShimmySpeed);
  else P.shimmytimer = 0.0f;
}

// While the scrum-half passes from the breakdown, tackled players stay down.
bool RuckPassHolds(const TWorld& W) {
  if (W.gamestate != gsGotTackled) return false;
  const TPlayer* H = PlayerAt(W.Teams[1], W.Teams[1].SetPieceHolder);
  return H != nullptr && H->passtimer > 0.0f;
}

inline void RuckPassHold(TWorld& W, uint64_t Forced) {
  if (!RuckPassHolds(W)) return;
  ForMarked(Forced, [&](int b, int i) {
    if (TPlayer& P = W.Teams[b].Players[i]; P.GettingTackledTimer > 0.0f) HoldOnSpot(P);
  });
}

}  // namespace

// ---------------------------------------------------------------- shared
bool IsListedChaser(const TTeamBlock& T, int i) {
  const int count = T.ChaserCount < 0 ? 0 : (T.ChaserCount > 5 ? 5 : T.ChaserCount);
  for (int k = 1; k <= count; ++k)
    if (T.ChaserSlots[k] == i) return true;
  return false;
}

// ---------------------------------------------------------------- call points
// ---------------------------------------------------------------- standing actions
namespace {

constexpr f32 kStandingSettle = 1.0f;     // s a breakdown or scrum lasts before anyone acts
constexpr f32 kStandingReach = 0.1f;      // m from DesiredPos that counts as at his place
constexpr double kActionSpacing = 0.9;    // s of NextActionTime per wanted action
constexpr double kActionStagger = 0.25;   // s per unit of the stagger draw
constexpr double kScanDepthOthers = 5.0;  // m up-field of a player that his scan still sees
constexpr f32 kActionHold = 10.0f;        // s of SpecialAnimTimer; the animation step ends it
constexpr f32 kActionHeading = 90.0f;     // up-field
constexpr int kScrumHalfActsFrom = 9;     // ScrumPhase
constexpr int kFirstReceiver = 10;

bool StandingActionsRun(const TWorld& W) {
  const bool settled = W.TurnoverPending != 0 && W.BreakdownClock > kStandingSettle;
  if (W.gamestate == gsGotTackled)
    return W.GotTackledPhase > 1 && (W.TimeSinceTackle > kStandingSettle || settled);
  if (W.gamestate == gsScrum) return W.ScrumPhase > 3 && (W.TimeInGameState > kStandingSettle || settled);
  return false;
}

// Scrimmage roles whose animations leave no room for a standing action.
bool ScrimmageRoleStill(u8 Role) {
  return Role == 1 || Role == 3 || Role == 4 || Role == 8 || Role == 16 || Role == 17;
}

// How many actions player i makes at this set piece, and from when.
void DrawStandingActions(TPlayer& P, int i, int Holder) {
  P.ActionsMade = 0;
  i32 wanted = RandomRange(0, 2);
  if (P.InBackline != 0) wanted += RandomRange(0, 2);
  if (i == Holder) {
    if (i == 9) wanted += RandomRange(1, 4);
    else wanted = RandomRange(0, 2);
  } else if (i == kFirstReceiver) {
    wanted += RandomRange(0, 3);
  }
  if (P.ScrimmageNumber > 0 && ScrimmageRoleStill(P.ScrimmageRole)) wanted = 0;
  P.ActionsWanted = static_cast<i16>(wanted);
  const i32 stagger = i == Holder ? RandomRange(0, 5) : RandomRange(1, 11);
  P.NextActionTime = ToF32(kActionSpacing * wanted + stagger * kActionStagger);
}

// The side on which team-mates of player i stand: low (smaller x) and high,
// among those less than Depth up-field of him; stops once both are seen.
void ScanSides(const TWorld& W, int i, double Depth, bool& Low, bool& High) {
  const TPlayer& P = W.Teams[1].Players[i];
  Low = High = false;
  const int n = PlayerCount(W);
  for (int j = 1; j <= n && !(Low && High); ++j) {
    if (j == i) continue;
    const TPlayer& Q = W.Teams[1].Players[j];
    if (!(static_cast<double>(Q.Pos.z) < P.Pos.z + Depth)) continue;
    if (Q.Pos.x < P.Pos.x) Low = true;
    else High = true;
  }
}

f32 ActionKind(i32 Draw, f32 First) { return First + 2.0f * static_cast<f32>(Draw - 1); }

}  // namespace

void StandingActions(TWorld& W) {
  if (!StandingActionsRun(W)) return;
  const bool scrum = W.gamestate == gsScrum;
  const int holder = W.Teams[1].SetPieceHolder;
  const int n = PlayerCount(W);
  for (int i = 1; i <= n; ++i) {
    if (scrum && i == holder && W.ScrumPhase < kScrumHalfActsFrom) continue;
    TPlayer& P = W.Teams[1].Players[i];
    if (P.ActionsMade == -1) DrawStandingActions(P, i, holder);
    if (P.SpecialAnimTimer > 0.0f || !(P.ActionsMade < P.ActionsWanted)) continue;
    const bool due = scrum ? W.TimeInGameState > P.NextActionTime : W.RestartDelay <= P.NextActionTime;
    if (!due) continue;
    if (!(Distance2D(P.Pos.x, P.Pos.z, P.DesiredPos.x, P.DesiredPos.z) <= kStandingReach)) continue;
    P.ActionsMade = static_cast<i16>(P.ActionsMade + 1);
    bool low = false, high = false;
    ScanSides(W, i, i == holder ? 0.0 : kScanDepthOthers, low, high);
    if (!low && !high) continue;
    P.SpecialAnimTimer = kActionHold;
    P.SpecialAnimAngle = kActionHeading;
    P.SpecialAnimFacing = kActionHeading;
    P.SpecialAnimSpeed = 0.0f;
    if (low) P.SpecialAnimKind = ActionKind(RandomRange(1, 4), 6.0f);
    if (!low || (high && RandomRange(1, 1001) < kEvenChance)) P.SpecialAnimKind = ActionKind(RandomRange(1, 4), 7.0f);
  }
}

// ---------------------------------------------------------------- the step
namespace {

// The players in a tackle, a fall, a lie, a get-up or a breakdown. The
// stages below start these only for players already in one (a rejoining
// player is given a support place or a run, nothing of these), so the
// others can be passed over in every stage. The dives end first, in the
// same pass: a dive touches only the diver, and one that ends starts his
// get-up, which his marking then sees.
bool Falling(const TPlayer& P) {
  return (P.TackleAttemptTimer > 0.0f) | (P.GettingTackledTimer > 0.0f) | (P.RuckTimer2 > 0.0f) |
         MayRun(P.OldTackleTimer) | MayRun(P.standuptimer);
}

inline void EndBlockExitsOf(TWorld& W, uint64_t Marked) {
  ForMarked(Marked, [&](int b, int i) { EndBlockExit(W, b, i); });
}

inline void EndTacklesOf(TWorld& W, uint64_t Marked) {
  ForMarked(Marked, [&](int b, int i) { EndTackles(W, W.Teams[b].Players[i]); });
}

inline void LieAndGetUpOf(TWorld& W, uint64_t Marked) {
  ForMarked(Marked, [&](int b, int i) { LieAndGetUp(W, b, i); });
}

inline void HoldGettingUp(TWorld& W, uint64_t Marked) {
  ForMarked(Marked, [&](int b, int i) {
    if (TPlayer& P = W.Teams[b].Players[i]; P.standuptimer > 0.0f) HoldOnSpot(P);
  });
}

inline void ReleaseFromBreakdownOf(TWorld& W, uint64_t Marked) {
  ForMarked(Marked, [&](int b, int i) { ReleaseFromBreakdown(W, b, i); });
}

namespace body {

inline void EndDiveOf(TWorld& W, int i) { EndDive(W, W.Teams[1].Players[i]); }

inline void MarkFalling(TWorld& W, int i, uint64_t& Marked) {
  Marked |= static_cast<uint64_t>(Falling(W.Teams[1].Players[i])) << PlayerBit(1, i);
  Marked |= static_cast<uint64_t>(Falling(W.Teams[2].Players[i])) << PlayerBit(2, i);
}

}  // namespace body

}  // namespace

void EndDiveOf(TWorld& W, int i) { body::EndDiveOf(W, i); }
void MarkFalling(TWorld& W, int i, uint64_t& Marked) { body::MarkFalling(W, i, Marked); }

uint64_t EndDivesAndMarkFalling(TWorld& W) {
  uint64_t marked = 0;
  const int n = PlayerCount(W);
  for (int i = 1; i <= n; ++i) {
    body::EndDiveOf(W, i);
    body::MarkFalling(W, i, marked);
  }
  return marked;
}

constexpr TMarkedStage kFallStages[kFallStageCount] = {
    {"block exits", EndBlockExitsOf},      {"tackles end", EndTacklesOf},
    {"lying and getting up", LieAndGetUpOf}, {"getting up held", HoldGettingUp},
    {"breakdown release", ReleaseFromBreakdownOf},
};

namespace {

// Runs a table's stages in order. The table is a constant, so each call is
// direct and the compiler may inline it: called through the pointers, the
// two tables cost 61 M of 46.57 G callgrind instructions of a seeded match
// (seed 4242).
template <const TMarkedStage* Stages, size_t... I>
void RunMarkedStages(TWorld& W, uint64_t Marked, std::index_sequence<I...>) {
  (Stages[I].Run(W, Marked), ...);
}

}  // namespace

void FallsStandUpsAndInjuries(TWorld& W) {
  const uint64_t falling = EndDivesAndMarkFalling(W);
  RunMarkedStages<kFallStages>(W, falling, std::make_index_sequence<kFallStageCount>{});
}

namespace {

// The players on a forced movement other than a follow or a scripted run: a
// kick run, a loose-ball run, a special action, a side-step, and where the
// state holds them, a lineout hold, a maul hold or a tackle (held while the
// scrum-half passes). No stage starts any of these, so the others can be
// passed over in every stage. Each timer is compared here just as its stage
// compares it for every player, and only where its stage does, so the
// marking raises the same flags as the stages would.
}  // namespace

TForcedPass StartForcedPass(const TWorld& W) {
  return {W.gamestate != gsLineout,
          W.gamestate == gsRunning && PlayerAt(W.Teams[1], W.Teams[1].BallCarrier) != nullptr, RuckPassHolds(W), 0};
}

namespace {

bool OnForcedMovement(const TForcedPass& M, const TPlayer& P, int b) {
  bool busy = (P.KickTimer > 0.0f) | (P.freeballcatchtimer > 0.0f) | (P.SpecialAnimTimer > 0.0f) |
              (P.shimmytimer > 0.0f);
  if (M.LineoutHolds) busy |= P.LineOutTimer > 0.0f;
  if (M.MaulHolds && b == 1) busy |= P.MaulHoldTimer > 0.0f;
  if (M.RuckHolds) busy |= P.GettingTackledTimer > 0.0f;
  return busy;
}

namespace body {

inline void MarkForced(TWorld& W, int i, TForcedPass& F) {
  const uint64_t mine = static_cast<uint64_t>(OnForcedMovement(F, W.Teams[1].Players[i], 1)) |
                        static_cast<uint64_t>(OnForcedMovement(F, W.Teams[2].Players[i], 2)) << 1;
  F.Marked |= mine << PlayerBit(1, i);
}

inline void RunKickRuns(TWorld& W, int i, const TForcedPass& F) {
  for (int b = 1; b <= 2; ++b)
    if ((F.Marked >> PlayerBit(b, i)) & 1) KickRun(W, b, i);
}

inline void RunLooseBallRuns(TWorld& W, int i, const TForcedPass& F) {
  for (int b = 1; b <= 2; ++b)
    if ((F.Marked >> PlayerBit(b, i)) & 1) LooseBallRun(W.Teams[b].Players[i]);
}

}  // namespace body

}  // namespace

void MarkForced(TWorld& W, int i, TForcedPass& F) { body::MarkForced(W, i, F); }
void RunKickRuns(TWorld& W, int i, const TForcedPass& F) { body::RunKickRuns(W, i, F); }
void RunLooseBallRuns(TWorld& W, int i, const TForcedPass& F) { body::RunLooseBallRuns(W, i, F); }
void RunFollow(TWorld& W, int i) { Follow(W, i); }
void RunScripted(TWorld& W, int i) { ScriptedRun(W, i); }

namespace {

// The marking, the kick and loose-ball runs, the follows and the scripted
// runs in one pass over the players, each player's in the stages' order.
// That is the result of the stage-by-stage loops: these stages write only
// the player's own DesiredPos, speeds and follow and scripted-run timers,
// and read of another player only the followed one's Pos and Velocity; and
// none writes a timer that the marking reads.
// tests/motion/MergedPassesTest.cpp runs the stages one at a time against it.
uint64_t MarkAndRunForced(TWorld& W, int n) {
  TForcedPass pass = StartForcedPass(W);
  for (int i = 1; i <= n; ++i) {
    body::MarkForced(W, i, pass);
    if (((pass.Marked >> PlayerBit(1, i)) & 3) != 0) {
      body::RunKickRuns(W, i, pass);
      body::RunLooseBallRuns(W, i, pass);
    }
    Follow(W, i);
    ScriptedRun(W, i);
  }
  return pass.Marked;
}

}  // namespace

namespace {

inline void HoldInLineout(TWorld& W, uint64_t Forced) {
  if (W.gamestate == gsLineout) return;
  ForMarked(Forced, [&](int b, int i) {
    if (TPlayer& P = W.Teams[b].Players[i]; P.LineOutTimer > 0.0f) HoldOnSpot(P);
  });
}

inline void SpecialActions(TWorld& W, uint64_t Forced) {
  TTeamBlock& A = W.Teams[1];
  // Compared where the loop over every player compared it: at the receiver.
  const bool receiverWaits = A.PassReceiver >= 1 && A.PassReceiver <= PlayerCount(W) && A.PassTimeLeft > 0.0f;
  ForMarked(Forced, [&](int b, int i) {
    if (b == 1) SpecialAction(W, A.Players[i], i == A.PassReceiver && receiverWaits);
    else SpecialAction(W, W.Teams[2].Players[i], false);
  });
}

inline void Shimmies(TWorld& W, uint64_t Forced) {
  ForMarked(Forced, [&](int b, int i) { Shimmy(W, b, i); });
}

}  // namespace

constexpr TMarkedStage kForcedStages[kForcedStageCount] = {
    {"lineout hold", HoldInLineout}, {"maul hold", MaulHold},           {"special actions", SpecialActions},
    {"side-steps", Shimmies},        {"ruck pass hold", RuckPassHold},
};

uint64_t MarkAndRunForcedMovements(TWorld& W) { return MarkAndRunForced(W, PlayerCount(W)); }

void ForcedMovements(TWorld& W) {
  const uint64_t forced = MarkAndRunForcedMovements(W);
  RunMarkedStages<kForcedStages>(W, forced, std::make_index_sequence<kForcedStageCount>{});
}

void DelayPlayers(TWorld& W) {
  CountPlayClocks(W);
  CountSamplerTimers(W);
  SetPointOfInterest(W);
  CountStoppageClocks(W);
  AdvanceMatchClock(W);
  CountDefenceAndCarry(W);
  CountPlayerTimersAndReactions(W);
  if (W.gamestate == gsPassing) {
    if (W.LiveWorld != kFalse32) ReaimReceiver(W);
    ChaseLoosePass(W);
  }
  CountTeamTimers(W);
  CountPassFlightAndRelease(W);
  ReleaseKick(W);
  FallsStandUpsAndInjuries(W);
  ForcedMovements(W);
  StandingActions(W);
}
