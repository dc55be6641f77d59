#include "flow/PassingUnit.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/PlayerCommands.h"
#include "core/RunContext.h"
#include "core/SlotLines.h"
#include "core/StrategyShapes.h"
#include "core/SupportSpot.h"
#include "flow/ActionSequences.h"
#include "flow/DefenseUnit.h"
#include "flow/RunningUnit.h"
#include "flow/SetDesiredPositionUnit.h"
#include "hooks/UserControl.h"
#include "motion/PassInFlight.h"

namespace {

constexpr double kGridBack = 3.0;          // m, grid origin behind R
constexpr double kSupportShare = 0.98;     // of the covering speed and of R's run speed
constexpr double kPathBack = 0.5;          // m behind R
constexpr double kPathSide = 2.0;          // m either side of R
constexpr double kArmTime = 0.28;          // s of ball flight to the catch point
constexpr f32 kCatchWindow = 10.0f;        // s, passcatchtimer of an armed catch
constexpr double kReadRun = 1.5;           // m, a defender still reading runs on
constexpr double kCatchRunLead = 5.0;      // m beyond the catch depth
constexpr i32 kCatchRunEnd = 17;           // EndCondition of a run to the catch

bool Busy(const TPlayer& P) {
  return P.RuckTimer > 0 || P.RuckTimer2 > 0 || P.TackleAttemptTimer > 0 || P.GettingTackledTimer > 0 ||
         P.OldTackleTimer > 0 || P.standuptimer > 0;
}

// The current event of a sequence, event 1 before the runner has started it.
const TActionEvent* CurrentEvent(const TActionSeq& S) {
  const i32 k = S.CurrEventIndex == 0 ? 1 : S.CurrEventIndex;
  return Arr1<TActionEvent, 10>::InRange(k) ? &S.EventArray[k] : nullptr;
}

// ---------------------------------------------------------------- set-up

// R into the line (off the grid when he held no slot) and the line
// recentred so that he stands in slot 101.
void PutReceiverInLine(TTeamBlock& A, i16 R) {
  TSlotLine line = SetPieceSlotLine(A);
  bool inLine = false;
  for (int k = 1; k <= kSlotCount && !inLine; ++k) inLine = line[k] == R;
  if (!inLine) {
    line = MovePlayerToNearestSlot(line, A.SetPieceSlotPos, R, A.Players[R].Pos.x);
    const int side = SupportGridSide(A);
    for (int r = 1; r <= side; ++r)
      for (int c = 1; c <= side; ++c)
        if (A.SupportGridCells[r][c] == R) A.SupportGridCells[r][c] = 0;
  }
  A.Players[R].InBackline = kTrue32;
  StoreSetPieceSlotLine(A, RecentreLine(line, R));
}

// The places around where R runs, for the support speeds only: the
// per-frame steps replace them in the same call.
void PlaceAroundTarget(TTeamBlock& A, i32 R) {
  const TVector2 at = {A.Players[R].DesiredPos.x, A.Players[R].DesiredPos.z};
  PlaceLineSlots(A, at.x, at.z);
  const int side = SupportGridSide(A);
  SetSupportGridOrigin(A, static_cast<f32>(at.x - side / 2.0 + 0.5), static_cast<f32>(at.z - kGridBack));
  for (int k = 1; k <= kSlotCount; ++k) {
    const i32 p = A.SetPieceLine[k];
    if (!IsPlayer(p) || p == R) continue;
    A.Players[p].DesiredPos.x = A.SetPieceSlotPos[k].x;
    A.Players[p].DesiredPos.z = A.SetPieceSlotPos[k].z;
  }
  for (int r = 1; r <= side; ++r)
    for (int c = 1; c <= side; ++c) {
      const i32 p = A.SupportGridCells[r][c];
      if (!IsPlayer(p) || p == R) continue;
      A.Players[p].DesiredPos.x = A.SupportGridSpots[r][c].x;
      A.Players[p].DesiredPos.z = A.SupportGridSpots[r][c].z;
    }
}

// Each team-mate's speed to reach his place as the ball arrives: 0.98 of
// the covering speed, at least 0.98 of R's run speed; his top speed once
// he is past it.
void SetSupportSpeeds(TWorld& W, TTeamBlock& A, i32 R) {
  const double floor = kSupportShare * A.ReceiverRunSpeed;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    if (p == R) continue;
    TPlayer& P = A.Players[p];
    if (P.Pos.z > P.DesiredPos.z) {
      P.PassingSupportSpeed = P.maxspeed;
      continue;
    }
    const f32 d = Distance2D(P.Pos.x, P.Pos.z, P.DesiredPos.x, P.DesiredPos.z);
    const double s = SpeedToCoverInTime(P.speed, P.Acceleration, P.maxspeed, d, A.PassFlightLeft, kTrue32);
    P.PassingSupportSpeed = static_cast<f32>(std::max(kSupportShare * s, floor));
  }
}

// A kick pass: the free players level with or behind R run straight up the
// pitch to arrive at the catch depth as the ball does.
void SendRunnersToCatch(TWorld& W, TTeamBlock& A, i32 R) {
  const TPlayer& Rec = A.Players[R];
  const TActionEvent* E = Rec.ActionSeq.seqON != 0 ? CurrentEvent(Rec.ActionSeq) : nullptr;
  if (E == nullptr || (E->EventType != 5 && E->EventType != 55)) return;
  const double T = std::max(0.25 + A.PassTimeLeft + (E->EventType == 55 ? 0.5 : 0.0) + 0.55, 0.01);
  const double rz = Rec.Pos.z;
  const double zc = std::max(rz + std::sin(A.ReceiverRunAngle / kRadToDeg) * A.PassTimeLeft, rz);
  for (int p = 1; p <= PlayerCount(W); ++p) {
    if (p == R) continue;
    TPlayer& P = A.Players[p];
    if (!(P.Pos.z <= rz) || Busy(P)) continue;
    bool free = P.ActionSeq.seqON == 0;
    if (!free) {
      const TActionEvent* F = CurrentEvent(P.ActionSeq);
      free = F != nullptr && (F->EventType != 0 || F->WaitFor == 1 || F->WaitFor == 2);
    }
    if (!free) continue;
    P.ActionSeq = StrategyParams.ActionSeqTemplate;
    TActionEvent& Run = P.ActionSeq.EventArray[1];
    Run.DesSpeed = static_cast<f32>((zc - P.Pos.z) / T);
    Run.DistOrig = static_cast<f32>(zc - P.Pos.z + kCatchRunLead);
    Run.EndCondition = kCatchRunEnd;
  }
}

void SetUpPassing(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  const i32 R = A.PassReceiver;
  if (IsPlayer(R)) {
    PutReceiverInLine(A, static_cast<i16>(R));
    PlaceAroundTarget(A, R);
    SetSupportSpeeds(W, A, R);
  }
  W.Teams[2].PressureTimerA = 0.0f;
  if (IsPlayer(R)) SendRunnersToCatch(W, A, R);
}

// ---------------------------------------------------------------- per frame

void PlaceDefence(TWorld& W) {
  Defense(W);
  TTeamBlock& D = W.Teams[2];
  for (int i = 1; i <= PlayerCount(W); ++i) ApplyUserControl(W, D.Players[i], ucDefence, D);
  if (ViewerLinkMode == 0) return;
  for (const TPlayerCommand& c : CommandSlots)
    if (c.Occupied != 0) ApplyCommandToPlayer(W, c, c.Occupied);
}

// A defender still reading the pass runs on the way he faces; a ruck
// marker keeps his x.
void HoldReadingDefenders(TWorld& W) {
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = W.Teams[2].Players[i];
    if (!(P.PassReadTimer > 0) || P.ActionSeq.seqON != 0) continue;
    const double h = P.FacingAngle - std::numbers::pi / 2;  // radians
    P.DesiredPos.z = static_cast<f32>(P.Pos.z + kReadRun * std::sin(h));
    if (P.RuckMarking == 0) P.DesiredPos.x = static_cast<f32>(P.Pos.x - kReadRun * std::cos(h));
  }
}

void PassingFrame(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  const i32 R = A.PassReceiver;
  const bool hasReceiver = IsPlayer(R);
  if (hasReceiver) {
    const TPlayer& Rec = A.Players[R];
    PlaceLineSlots(A, Rec.Pos.x, Rec.Pos.z);
    PlaceSupportGridAround(W, A, Rec, kGridBack);
    PlaceLinePlayers(W, R, true, false);
  }
  for (int p = 1; p <= PlayerCount(W); ++p) A.Players[p].SpeedOverrideOn = kFalse32;
  if (hasReceiver) PlaceGridPlayers(W, R, A.Players[R].Velocity.z, W.BallPos.z - 2.0, true, false);
  RunActionSequences(W);
  if (hasReceiver) KeepOutOfPath(W, R, kPathBack, kPathSide);
  GoForBall(W, A);
  PlaceDefence(W);
  HoldReadingDefenders(W);
  GoForBall(W, W.Teams[2]);
  MoveTacklePlayers(W);
}

}  // namespace

void GoForBall(TWorld& W, TTeamBlock& B) {
  const double v = Distance2D(0.0f, 0.0f, W.PassVel.x, W.PassVel.z);
  const TPlayer* Ref = PlayerAt(B, B.PassReceiver);
  for (int p = 1; p <= PlayerCount(W); ++p) {
    TPlayer& P = B.Players[p];
    if (P.WillAttemptPassInterCept == 0) continue;
    P.DesiredPos.x = P.BallCatchPoint.x;
    P.DesiredPos.z = P.BallCatchPoint.z;
    if (!(v > 0) || P.passcatchtimer > 0.0f || P.PassCatchArmed != 0 || P.CanInterceptPassOnFull == 0) continue;
    const double t = Distance2D(W.BallPos.x, W.BallPos.z, P.BallCatchPoint.x, P.BallCatchPoint.z) / v;
    if (!(t < kArmTime)) continue;
    P.passcatchtimer = kCatchWindow;
    P.PassCatchArmed = kTrue32;
    B.CatchSide = 2;
    B.CatchHeight = CatchHeightClass(W.BallPos.y, (Ref != nullptr ? *Ref : P).Height);
  }
}

void DoPassing(TWorld& W) { RunStateHandler(W, W.PassingPhase, SetUpPassing, PassingFrame); }
