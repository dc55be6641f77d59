#include "flow/TackledUnit.h"

#include <cmath>

#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/MirrorWorld.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/SupportSpot.h"
#include "flow/ActionSequences.h"
#include "flow/BreakdownSetup.h"
#include "flow/DefenseUnit.h"
#include "flow/RunningUnit.h"
#include "hooks/UserControl.h"

namespace {

constexpr f32 kEmptyRuckRetry = 0.25f;    // s before the turnover test looks again
constexpr double kPackFrictionShare = 1.0 / 20.0;
constexpr double kRuckSpotBack = 0.5;     // m behind the side's line
constexpr double kDeepStep = 1.5;         // m a deep-flagged line player drops
constexpr double kDeepMinBehindBall = 0.75;
constexpr double kDeadBallMargin = 1.0;   // m a deep player keeps in front of the dead-ball line
constexpr double kAlignBehindRef = 0.5;   // m
constexpr double kGridBack = 3.0;         // m behind the mark
constexpr double kGridTouchMargin = 0.75;
constexpr double kScrumHalfBack = 0.9;    // m behind the side's line
constexpr double kScrumHalfTouchMargin = 0.7;
constexpr double kStepAsideX = 2.5;       // m
constexpr double kStepAsideZ = 5.0;       // m
constexpr double kScrumHalfReach = 10.0;  // m from the mark for player 9 after a turnover
constexpr int kSlotCount = 201;
constexpr int kFirstReceiverSlot = 102;
constexpr int kScrumHalf = 9;

void CountUp(f32& T, f32 Dt) { T = ToF32(static_cast<double>(T) + Dt); }

bool InRuck(const TTeamBlock& T) { return T.PackSpots.BoundCount > 0; }

// The six timers that keep a player busy at the breakdown.
bool Busy(const TPlayer& P) {
  return P.RuckTimer > 0 || P.TackleAttemptTimer > 0 || P.RuckTimer2 > 0 || P.OldTackleTimer > 0 ||
         P.GettingTackledTimer > 0 || P.standuptimer > 0;
}

i32 IdOf(const TTeamBlock& T, i32 n) {
  const TPlayer* P = PlayerAt(T, n);
  return P == nullptr ? 0 : P->id;
}

// The side's jackler's id, 0 when it has no jackler.
i32 JacklerId(const TTeamBlock& T) { return T.PackSpots.BoundFirst != 0 ? IdOf(T, T.PackSpots.FirstBinder) : 0; }

void PostAttackingRuck(TWorld& W) {
  if (W.AttackingRuckPosted != 0 || !InRuck(W.Teams[1]) || !InRuck(W.Teams[2])) return;
  W.AttackingRuckPosted = kTrue32;
  const TTeamBlock& T = W.TurnoverPending != 0 ? W.Teams[2] : W.Teams[1];
  PostMessage(W, T.teamid, JacklerId(T), msgAttackingRuck, 0.0f);
}

// The jackling bonus of one side by the thresholds its timer has passed;
// Passed is false when it has passed none.
double JackleBonus(const TTeamBlock& T, bool& Passed) {
  const double t = T.PackSpots.TimeSinceFirstBind;
  const TPlayer* J = PlayerAt(T, T.PackSpots.FirstBinder);
  const double k = J == nullptr ? 0.0 : J->BreakdownChance;
  Passed = true;
  if (t > 1.5) return 1000.0;
  if (t > 1.0) return 500.0 * k / 1000.0;
  if (t > 0.5) return 300.0 * k / 1000.0;
  if (t > 0.25) return 100.0 * k / 1000.0;
  Passed = false;
  return 0.0;
}

void ApplyTurnover(TWorld& W) {
  {
    const TTeamBlock& A = W.Teams[1];
    const TTeamBlock& D = W.Teams[2];
    PostMessage(W, D.teamid, JacklerId(D), msgTurnover, 0.0f);
    if (PlayerAt(A, A.TackledPlayer) != nullptr) PostMessage(W, A.teamid, IdOf(A, A.TackledPlayer), msgTurnoverConceded, 0.0f);
  }
  W.TurnoverPending = kTrue32;
  W.BreakdownClock = 0.0f;
  for (int b = 1; b <= 2; ++b) {
    for (int i = 1; i <= 25; ++i) W.Teams[b].Players[i].ActionSeq.seqON = kFalse32;
    W.Teams[b].StrategyTimer = 0.0f;
  }
  Toggle32(W.Team1InFirstBlock);
  MirrorWorld(W);

  TTeamBlock& A = W.Teams[1];
  A.BallCarrier = 0;
  A.CarrierActionStage = 0;
  A.PassTimeLeft = 0.0f;
  A.PassTimeAux = 0.0f;
  A.KickTimeLeft = 0.0f;
  W.Teams[2].PressureTimerA = 0.0f;
  W.Teams[2].PressureTimerB = 0.0f;
  A.TurnoverRuckTime.value = DrawDistribution(A.TurnoverRuckTime);
  W.RestartDelay = A.TurnoverRuckTime.value;
  // The side that won the ball still holds its commitment from its own last
  // set piece; its scrum-half has not committed at this ruck.
  A.HalfTimeAux = kFalse32;
  A.SetPieceHolder = TurnoverScrumHalf(W);
  if (TPlayer* H = PlayerAt(A, A.SetPieceHolder)) H->shimmytimer = 0.0f;
  // The line, support and defence lists are laid out again, nobody newly
  // committed to the ruck.
  LayOutBreakdownLines(W);
}

void RollForTurnover(TWorld& W) {
  if (!(W.TackleReleaseTimer > 0)) return;
  W.TackleReleaseTimer = ToF32(static_cast<double>(W.TackleReleaseTimer) - W.TimeStep);
  if (W.TackleReleaseTimer > 0) return;
  if (!InRuck(W.Teams[1]) && !InRuck(W.Teams[2])) {
    W.TackleReleaseTimer = kEmptyRuckRetry;
    return;
  }
  const double p = TurnoverChance(W);
  if (RandomRange(1, 1001) <= p) ApplyTurnover(W);
}

void MovePack(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  W.RuckPrevZ = W.MarkZ;
  if (InRuck(A) && InRuck(D)) {
    const f32 v = DepleteByRate(std::fabs(W.PackVelocityZ), ToF32(W.GroundFriction * kPackFrictionShare), W.TimeStep,
                                W.Gravity);
    W.PackVelocityZ = W.PackVelocityZ < 0 ? -v : v;
  }
  W.MarkZ = ToF32(W.MarkZ + static_cast<double>(W.PackVelocityZ) * W.TimeStep);
  W.RuckMaxZ = ToF32(static_cast<double>(W.RuckOriginZ) + A.PackSpots.Depth - W.PackAux);
  W.RuckMinZ = ToF32(static_cast<double>(W.RuckOriginZ) - D.PackSpots.Depth - W.PackAux);
  if (W.MarkZ > W.RuckMaxZ) W.MarkZ = W.RuckMaxZ;
  if (W.MarkZ < W.RuckMinZ) W.MarkZ = W.RuckMinZ;
  A.SetPieceLineZ = ToF32(static_cast<double>(W.MarkZ) - A.PackSpots.Depth);
  D.SetPieceLineZ = ToF32(static_cast<double>(W.MarkZ) + D.PackSpots.Depth);
  if (W.TimeStep > 0) W.PackVelocityZ = ToF32((static_cast<double>(W.MarkZ) - W.RuckPrevZ) / W.TimeStep);
}

// The side's waiting spots behind its line and bound points at the mark;
// Sign is -1 for block 1 (behind is lower z), +1 for block 2.
void PlaceRuckPoints(const TWorld& W, TTeamBlock& T, double Sign) {
  TSpotTable& S = T.PackSpots;
  const double lineZ = T.SetPieceLineZ + Sign * kRuckSpotBack;
  const double bindZ = W.MarkZ + Sign * W.RuckBindDepth;
  for (int k = 1; k <= 10; ++k) {
    S.PosA[k] = {ToF32(static_cast<double>(W.MarkX) + S.OffsetA[k].x), ToF32(lineZ + S.OffsetA[k].z)};
    const bool shifted = k == 1 || k == 4 || k == 5 || k == 6 || k == 9 || k == 10;
    S.PosB[k] = {ToF32(static_cast<double>(W.MarkX) + S.OffsetB[k].x),
                 ToF32(bindZ + S.OffsetB[k].z + (shifted ? static_cast<double>(W.PackAux) : 0.0))};
  }
}

void SendToRuckSpots(TTeamBlock& T) {
  const TSpotTable& S = T.PackSpots;
  for (int k = 1; k <= 10; ++k) {
    if (TPlayer* P = PlayerAt(T, S.OccupantA[k])) P->DesiredPos.x = S.PosA[k].x, P->DesiredPos.z = S.PosA[k].z;
    if (TPlayer* P = PlayerAt(T, S.OccupantB[k])) P->DesiredPos.x = S.PosB[k].x, P->DesiredPos.z = S.PosB[k].z;
  }
}

// A free player of side T on the wrong side of the mark (Wrong true) and
// close to it steps 2.5 m aside.
void StepAside(TWorld& W, TTeamBlock& T, bool Attackers) {
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = T.Players[i];
    if (Busy(P)) continue;
    const bool wrongSide = Attackers ? P.Pos.z > W.MarkZ : P.Pos.z < W.MarkZ;
    if (!wrongSide || !(std::fabs(static_cast<double>(P.Pos.x) - W.MarkX) < kStepAsideX) ||
        !(std::fabs(static_cast<double>(P.Pos.z) - W.MarkZ) < kStepAsideZ))
      continue;
    P.DesiredPos.x = ToF32(P.Pos.x < W.MarkX ? W.MarkX - kStepAsideX : W.MarkX + kStepAsideX);
  }
}

void PlaceLineSlotsAtRuck(const TWorld& W, TTeamBlock& A) {
  const double deadBall = -(static_cast<double>(W.PitchLength) / 2.0 + W.InGoalDepth);
  for (int s = 1; s <= kSlotCount; ++s) {
    const double z = static_cast<double>(A.SetPieceLineZ) + A.LineSlotPos[s].z;
    A.SetPieceSlotPos[s] = {ToF32(static_cast<double>(W.MarkX) + A.LineSlotPos[s].x), ToF32(z < deadBall ? deadBall : z)};
  }
}

void PlaceSupportGridAtRuck(const TWorld& W, TTeamBlock& A) {
  const int side = SupportGridSide(A);
  const double halfW = W.PitchWidth / 2.0;
  double x = W.MarkX - A.SupportGridSize / 2.0;
  if (x < -halfW + kGridTouchMargin) x = -halfW + kGridTouchMargin;
  if (x + side + 1 > halfW - kGridTouchMargin) x -= x + side + 1 - (halfW - kGridTouchMargin);
  SetSupportGridOrigin(A, ToF32(x), ToF32(W.MarkZ - kGridBack));
}

void PlaceLinePlayer(const TWorld& W, const TTeamBlock& A, int Slot, TPlayer& P, bool FirstReceiver) {
  const TVector2 spot = A.SetPieceSlotPos[Slot];
  double z = spot.z;
  if (P.DeepFlag != 0 && !FirstReceiver) {
    z -= kDeepStep;
    if (z > W.BallPos.z - kDeepMinBehindBall) z = spot.z;
    const double floor = -(static_cast<double>(W.PitchLength) / 2.0 + W.InGoalDepth) + kDeadBallMargin;
    if (z < floor) z = floor;
  }
  const TPlayer* R = PlayerAt(A, P.AlignRefPlayer);
  switch (P.RoleCode) {
    case -1:
    case -2:
      if (R != nullptr) {
        P.AlignPoint = {P.Pos.x, ToF32(R->Pos.z - (P.RoleCode == -1 ? kAlignBehindRef : 0.0))};
        z = P.AlignPoint.z;
      }
      break;
    case -3: z = P.AlignPoint.z; break;
    case 3:
    case 6:
    case 7: z = static_cast<double>(spot.z) - P.AlignDepth; break;
    default: break;
  }
  P.DesiredPos.x = ToF32(static_cast<double>(spot.x) + P.PersonalOffset.x);
  P.DesiredPos.z = ToF32(z + P.PersonalOffset.z);
}

void PlaceAttack(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  PlaceRuckPoints(W, A, -1.0);
  PlaceLineSlotsAtRuck(W, A);
  PlaceSupportGridAtRuck(W, A);
  int first = 0;
  for (int s = NextFilledSlot(A.SetPieceLine, kFirstReceiverSlot); s <= kSlotCount && first == 0;
       s = NextFilledSlot(A.SetPieceLine, s + 1))
    if (IsPlayer(A.SetPieceLine[s])) first = A.SetPieceLine[s];
  for (int s = NextFilledSlot(A.SetPieceLine, 1); s <= kSlotCount; s = NextFilledSlot(A.SetPieceLine, s + 1)) {
    const i32 p = A.SetPieceLine[s];
    if (IsPlayer(p)) PlaceLinePlayer(W, A, s, A.Players[p], p == first);
  }
  for (int i = 1; i <= 25; ++i) A.Players[i].SpeedOverrideOn = kFalse32;
  const int side = SupportGridSide(A);
  for (int r = 1; r <= side; ++r)
    for (int c = 1; c <= side; ++c)
      if (TPlayer* P = PlayerAt(A, A.SupportGridCells[r][c]))
        P->DesiredPos.x = A.SupportGridSpots[r][c].x, P->DesiredPos.z = A.SupportGridSpots[r][c].z;
  SendToRuckSpots(A);
  RunActionSequences(W);
  TPlayer* H = PlayerAt(A, A.SetPieceHolder);
  if (H != nullptr) {
    const double lim = W.PitchWidth / 2.0 - kScrumHalfTouchMargin;
    const double x = W.MarkX < -lim ? -lim : (W.MarkX > lim ? lim : static_cast<double>(W.MarkX));
    H->DesiredPos.x = ToF32(x);
    H->DesiredPos.z = ToF32(static_cast<double>(W.MarkZ) - A.PackSpots.Depth - kScrumHalfBack);
  }
  StepAside(W, A, true);
  if (H != nullptr && H->passtimer > 0) {
    if (TPlayer* R = PlayerAt(A, A.PassReceiver))
      SetDesiredPosAlongHeading(*R, A.ReceiverRunAngle, static_cast<double>(A.ReceiverRunSpeed) * W.TimeStep);
  }
  for (int i = 1; i <= PlayerCount(W); ++i) MoveTackledPlayer(W, A.Players[i], true);
  if (W.TurnoverPending == 0) {
    if (TPlayer* T = PlayerAt(A, A.TackledPlayer)) {
      T->GettingTackledSpeed = DepleteByRate(T->GettingTackledSpeed, W.GroundFriction, W.TimeStep, W.Gravity);
      T->DesiredPos = T->Pos;
    }
  }
}

// A block-2 player being tackled in a kind 1, 2 or 3 tackle slows once his
// animation is far enough on; block 1's tackle speed follows him.
void SlowFelledDefender(TWorld& W, TPlayer& P) {
  const double share = P.GettingTackledKind == 1 ? 0.92 : 0.7;
  if (!(RoundHalfEven(P.maxframes * share) <= P.currentframe)) return;
  P.GettingTackledSpeed = DepleteByRate(P.GettingTackledSpeed, W.GroundFriction, W.TimeStep, W.Gravity);
  W.Teams[1].TackleSpeed = P.GettingTackledSpeed;
}

void PlaceDefence(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  PlaceRuckPoints(W, D, 1.0);
  Defense(W);
  for (int i = 1; i <= PlayerCount(W); ++i) ApplyUserControl(W, D.Players[i], ucDefence, D);
  SendToRuckSpots(D);
  StepAside(W, D, false);
  for (int i = 1; i <= PlayerCount(W); ++i) MoveTackler(W, D.Players[i], W.Teams[1]);
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = D.Players[i];
    if (!(P.GettingTackledTimer > 0)) continue;
    const f32 k = P.GettingTackledKind;
    if (k == 6 || k == 7 || k == 8) MoveTackledPlayer(W, P, false);
    else if (k == 1 || k == 2 || k == 3) SlowFelledDefender(W, P);
  }
  for (int i = 1; i <= PlayerCount(W); ++i)
    if (D.Players[i].GettingTackledTimer > 0) D.Players[i].DesiredPos = D.Players[i].Pos;
  if (W.TurnoverPending != 0)
    if (TPlayer* T = PlayerAt(D, D.TackledPlayer)) T->DesiredPos = T->Pos;
}

}  // namespace

double TurnoverChance(const TWorld& W) {
  const i32 a = W.Teams[1].PackSpots.BoundCount;
  const i32 diff = W.Teams[2].PackSpots.BoundCount - a;
  double p = 0.0;
  if (diff >= 0) {
    static constexpr double kByDiff[4] = {300.0, 400.0, 500.0, 600.0};
    p = kByDiff[diff > 3 ? 3 : diff];
    if (a >= 2) p /= 2.0;
  }
  const bool attJackle = W.Teams[1].PackSpots.BoundFirst != 0;
  const bool defJackle = W.Teams[2].PackSpots.BoundFirst != 0;
  double bonus = 0.0;
  bool passed = false;
  if (attJackle) bonus = JackleBonus(W.Teams[1], passed);
  if (defJackle) {
    const double b = JackleBonus(W.Teams[2], passed);
    if (passed) bonus = b;
  }
  if (attJackle) p -= bonus;
  if (defJackle) p += bonus;
  return p;
}

i32 TurnoverScrumHalf(const TWorld& W) {
  const TTeamBlock& A = W.Teams[1];
  auto distance = [&](const TPlayer& P) { return static_cast<double>(Distance2D(P.Pos.x, P.Pos.z, W.MarkX, W.MarkZ)); };
  if (kScrumHalf <= PlayerCount(W)) {
    const TPlayer& P = A.Players[kScrumHalf];
    if (!Busy(P) && distance(P) <= kScrumHalfReach) return kScrumHalf;
  }
  i32 best = 0;
  double bestDist = 100000.0;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    const TPlayer& P = A.Players[i];
    if (Busy(P)) continue;
    const double d = distance(P);
    if (d < bestDist) bestDist = d, best = i;
  }
  return best;
}

void TackledBookkeeping(TWorld& W) {
  for (int b = 1; b <= 2; ++b) CountUp(W.Teams[b].PackSpots.TimeSinceFirstBind, W.TimeStep);
  if (InRuck(W.Teams[2]) && !InRuck(W.Teams[1])) CountUp(W.DefendersAloneTime, W.TimeStep);
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= 25; ++i) W.Teams[b].Players[i].PrevDesiredPos = W.Teams[b].Players[i].DesiredPos;
}

void TackledFrame(TWorld& W) {
  PostAttackingRuck(W);
  RollForTurnover(W);
  MovePack(W);
  PlaceAttack(W);
  PlaceDefence(W);
}
