#include "flow/RunningUnit.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/Lines.h"
#include "core/Rounding.h"
#include "core/SlotLines.h"
#include "core/SupportSpot.h"
#include "flow/ActionSequences.h"
#include "flow/DefenseUnit.h"
#include "flow/SetDesiredPositionUnit.h"
#include "hooks/UserControl.h"

namespace {

constexpr double kSlotSearchBound = 1000.0;  // m
constexpr double kGridBack = 3.0;            // m, grid origin behind the carrier
constexpr double kGridBackTackled = 2.0;     // m, while he is being tackled
constexpr double kMaxLineDepth = 10.0;       // m
constexpr double kClearance = 7.5;           // m, around a kicking carrier
constexpr double kSetPieceHoldTime = 1.1;    // s after a scrum or lineout
constexpr double kBreakdownSearchBound = 10000.0;  // s

// v limited to lo..hi (lo wins when the two cross on a tiny pitch).
double Clamp(double v, double lo, double hi) { return std::max(lo, std::min(v, hi)); }

double HalfWidth(const TWorld& W) { return W.PitchWidth / 2.0; }

bool RunsEventOfType(const TPlayer& P, i32 Type) {
  const TActionSeq& S = P.ActionSeq;
  return S.seqON != 0 && Arr1<TActionEvent, 10>::InRange(S.CurrEventIndex) &&
         S.EventArray[S.CurrEventIndex].EventType == Type;
}

// ---------------------------------------------------------------- set-up

// The carrier in slot 101; every other line player in the free slot whose x
// is nearest his own.
void BuildLine(const TWorld& W, TTeamBlock& A) {
  for (int k = 1; k <= kSlotCount; ++k) A.SetPieceLine[k] = 0;
  A.SetPieceLine[kCentreSlot] = A.BallCarrier;
  PlaceLineSlots(A, A.Players[A.BallCarrier].Pos.x, A.Players[A.BallCarrier].Pos.z);
  for (int p = 1; p <= PlayerCount(W); ++p) {
    const TPlayer& P = A.Players[p];
    if (p == A.BallCarrier || P.InBackline == 0) continue;
    double best = kSlotSearchBound;
    int slot = 0;
    for (int k = 1; k <= kSlotCount; ++k) {
      if (A.SetPieceLine[k] != 0) continue;
      const double d = std::fabs(static_cast<double>(A.SetPieceSlotPos[k].x) - P.Pos.x);
      if (d < best) {
        best = d;
        slot = k;
      }
    }
    if (slot != 0) A.SetPieceLine[slot] = p;
  }
}

// A fresh grid behind the carrier and a drawn cell (one draw each) for every
// support player in index order.
void BuildGrid(const TWorld& W, TTeamBlock& A) {
  const TPlayer& C = A.Players[A.BallCarrier];
  const int side = SupportGridSide(A);
  const double back = 0.5 + (C.GettingTackledTimer > 0 ? 1.5 : 2.5);
  ClearSupportGridCells(A);
  SetSupportGridOrigin(A, static_cast<f32>(C.Pos.x - side / 2.0), static_cast<f32>(C.Pos.z - back));
  for (int p = 1; p <= PlayerCount(W); ++p) {
    if (p == A.BallCarrier || A.Players[p].InBackline != 0) continue;
    PlaceOnWeightedCell(A, static_cast<i16>(p), A.SupportGridWeights);
  }
}

void SetUpRunning(TWorld& W) {
  W.DefenceCycleTimer = 0;  // the defence re-plans at once
  TTeamBlock& A = W.Teams[1];
  if (!IsPlayer(A.BallCarrier)) return;
  BuildLine(W, A);
  BuildGrid(W, A);
}

// ---------------------------------------------------------------- shared rules

// A player ahead of a kicking carrier by less than 7.5 m and within 7.5 m
// sideways moves 7.5 m further out at his z.
void ClearKicker(const TPlayer& C, TPlayer& P) {
  if (!(C.KickTimer > 0) || !(P.Pos.z > C.Pos.z)) return;
  if (!(static_cast<double>(P.Pos.z) - C.Pos.z < kClearance)) return;
  if (!(std::fabs(static_cast<double>(P.Pos.x) - C.Pos.x) < kClearance)) return;
  const double out = P.Pos.x < C.Pos.x ? -kClearance : kClearance;
  P.DesiredPos.x = static_cast<f32>(P.Pos.x + out);
  P.DesiredPos.z = P.Pos.z;
}

// Just after a scrum or lineout a player ahead of the holder on the far
// side of the ball holds his z.
void HoldAfterSetPiece(const TWorld& W, const TPlayer& C, TPlayer& P) {
  if (!(W.TimeSinceSetPiece < kSetPieceHoldTime) || W.FromSetPiece == 0) return;
  if (!(P.Pos.z > C.Pos.z)) return;
  const double bx = W.BallPos.x;
  const bool farSide = bx < 0 ? P.Pos.x > bx - 1.5 : P.Pos.x < bx + 1.5;
  if (farSide) P.DesiredPos.z = P.Pos.z;
}

// ---------------------------------------------------------------- line player

double LineDepth(const TWorld& W, const TPlayer& C, const TPlayer& P) {
  const u16 strategy = W.Teams[1].StrategyNumber;
  const double f = strategy == 2 ? 0.8 : (strategy == 1 ? 0.74 : 0.9);
  // A holder who cannot pass gives no flight time: the deepest line.
  double depth = kMaxLineDepth;
  if (C.maxpassspeed > 0) {
    const double flight = std::fabs(static_cast<double>(C.Pos.x) - P.Pos.x) / C.maxpassspeed;
    depth = f * P.maxspeed * flight;
  }
  if (RunsEventOfType(C, 55)) {
    depth = 1.0;
  } else if (C.KickTimer > 0) {
    depth = 0.05;
  }
  if (P.PerceivedLineBreak != 0) depth *= 0.9;
  return std::min(depth, kMaxLineDepth);
}

// The forward step: back to the depth target tz fast, forward to it slowly,
// hard when he stands ahead of the holder.
f32 LineTargetZ(const TWorld& W, const TPlayer& C, const TPlayer& P, double tz) {
  const double pz = P.Pos.z;
  const double cz = C.Pos.z;
  const double dz = std::fabs(pz - tz);
  double s = pz < tz ? std::max(dz / 0.25, 2.0) : std::min(dz / 1.25, 1.75);
  const double w = std::min(dz / 1.5, 1.0);
  if (W.TimeSinceSetPiece < 1.5 && pz > tz) s /= 2;
  if (pz > cz) {
    s += 2.0;
    if (pz > cz + 1.0) s += 5.0;
    if (pz > cz + 5.0) s += 10.0;
  }
  const double dt = W.TimeStep;
  const double carried = C.Velocity.z + static_cast<double>(C.Acceleration) * dt;
  return static_cast<f32>(pz + (carried + (pz <= tz ? w * s : -w * s)) * dt);
}

// The sideways step: a share f1 of the holder's sideways velocity and a
// share f2 of the drift to the slot's x.
double LineTargetX(const TWorld& W, const TPlayer& C, const TPlayer& P, double tx, double tz) {
  const double halfW = HalfWidth(W);
  const double px = P.Pos.x;
  double f1 = 0.9;
  double f2 = 1.0;
  if (P.PerceivedLineBreak != 0) {
    if (P.maxspeed < C.maxspeed) f1 = 0.8, f2 = 0.5;
    if (tz - 2.5 > P.Pos.z) f1 *= 0.9, f2 *= 0.9;
  }
  if (std::fabs(px - W.BallPos.x) > 11.5) f1 = 0, f2 = 0;
  if (std::fabs(px - tx) < 0.5) f1 = 0, f2 = 0;
  if (px > halfW - 1.0 || px < -halfW + 1.0) f1 *= 0.1, f2 = 1.0;
  if (C.passtimer > 0 || C.KickTimer > 0) f1 *= 0.5, f2 *= 0.5;
  if (W.TimeSinceSetPiece < 1.0) f1 *= 0.5, f2 *= 0.5;
  const double wx = std::min(std::fabs(px - tx) / 2.0, 1.0);
  const double drift = px <= tx ? f2 * wx : -f2 * wx;
  return px + (f1 * C.Velocity.x + drift) * W.TimeStep;
}

void PlaceLinePlayer(TWorld& W, const TPlayer& C, int Slot, TPlayer& P, bool KickClearance) {
  const double halfW = HalfWidth(W);
  double tx = W.Teams[1].SetPieceSlotPos[Slot].x;
  if (Slot == kCentreSlot - 1) tx -= 0.4;
  if (Slot == kCentreSlot + 1) tx += 0.4;
  tx = Clamp(tx, -halfW + 1.0, halfW - 1.0);
  const double cz = C.Pos.z;
  const double tz = std::min(cz - LineDepth(W, C, P) - 0.25, cz + 0.5);

  P.DesiredPos.z = LineTargetZ(W, C, P, tz);
  const double x = LineTargetX(W, C, P, tx, tz);
  const double edge = halfW - 0.75;
  const double kept = Clamp(x, -edge, edge);
  P.DesiredPos.x = static_cast<f32>(kept);
  // Cut back at a touchline: he is called up as a support runner.
  if (kept != x && std::fabs(static_cast<double>(P.Pos.x)) > halfW - 0.85 && P.ActionSeq.seqON == 0) {
    P.SupportRunCall = kTrue32;
    P.SupportSide = std::fabs(static_cast<double>(P.Pos.x) - C.Pos.x) >= 2.0 ? 2 : 1;
  }
  if (KickClearance) ClearKicker(C, P);
  HoldAfterSetPiece(W, C, P);
}

// ---------------------------------------------------------------- per frame

// While the carrier is being tackled, the player who reaches the ball first
// (backs' times counted in full, 6, 7 and 8 at 0.7) waits 1.5 m behind it.
void SendFirstToBreakdown(TWorld& W, const TPlayer& C) {
  TTeamBlock& A = W.Teams[1];
  if (!(C.GettingTackledTimer > 0)) {
    A.SelectedPlayer = 0;
    return;
  }
  if (A.SelectedPlayer == 0) {
    double best = kBreakdownSearchBound;
    int chosen = 0;
    for (int p = 1; p <= PlayerCount(W); ++p) {
      const TPlayer& P = A.Players[p];
      if (p == A.BallCarrier || !(P.maxspeed >= 0.1f)) continue;
      double t = Distance2D(P.Pos.x, P.Pos.z, W.BallPos.x, W.BallPos.z) / static_cast<double>(P.maxspeed);
      if (p >= 6 && p <= 8) t *= 0.7;
      if (t < best) {
        best = t;
        chosen = p;
      }
    }
    A.SelectedPlayer = static_cast<u16>(chosen);
  }
  TPlayer* S = PlayerAt(A, A.SelectedPlayer);
  if (S == nullptr) return;
  S->ActionSeq.seqON = 0;
  A.FirstToBreakdownGap = 1.5f;
  S->DesiredPos.x = W.BallPos.x;
  S->DesiredPos.z = static_cast<f32>(static_cast<double>(W.BallPos.z) - A.FirstToBreakdownGap);
}

// A player still reacting goes on as he moves.
void HoldReactingPlayers(TWorld& W) {
  const double dt = W.TimeStep;
  const double edge = HalfWidth(W) - 0.45;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    TPlayer& P = W.Teams[1].Players[p];
    if (!(P.ActionHoldTimer > 0)) continue;
    P.DesiredPos.x = static_cast<f32>(Clamp(P.Pos.x + P.Velocity.x * dt, -edge, edge));
    P.DesiredPos.z = static_cast<f32>(P.Pos.z + P.Velocity.z * dt);
  }
}

// The receiver of a pass about to be made runs his line.
void SteerPassReceiver(TWorld& W, const TPlayer& C) {
  TTeamBlock& A = W.Teams[1];
  if (!(C.passtimer > 0) && !(C.passcatchtimer > 0 && A.PassTimeLeft > 0)) return;
  TPlayer* R = PlayerAt(A, A.PassReceiver);
  if (R == nullptr) return;
  const TDirection u = HeadingDirection(A.ReceiverRunAngle);
  const double step = static_cast<double>(A.ReceiverRunSpeed) * W.TimeStep;
  R->DesiredPos.x = static_cast<f32>(R->Pos.x + u.x * step);
  R->DesiredPos.z = static_cast<f32>(R->Pos.z + u.z * step);
}

void PlaceDefence(TWorld& W) {
  Defense(W);
  TTeamBlock& D = W.Teams[2];
  for (int i = 1; i <= PlayerCount(W); ++i) ApplyUserControl(W, D.Players[i], ucDefence, D);
}

// A defender still reacting to a change of angle, with no sequence, keeps
// running the way he faces.
void HoldReadingDefenders(TWorld& W) {
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = W.Teams[2].Players[i];
    if (!(P.AngleReactionTimer > 0) || P.ActionSeq.seqON != 0) continue;
    const double h = P.FacingAngle - std::numbers::pi / 2;  // radians
    P.DesiredPos.x = static_cast<f32>(P.Pos.x + 5.0 * -std::cos(h));
    P.DesiredPos.z = static_cast<f32>(P.Pos.z + 5.0 * std::sin(h));
  }
}

// Once every wanted tackler holds a carrier going down in a kind-0 tackle,
// the defenders right at the ball step 2.0 m aside.
void ClearBreakdown(TWorld& W, const TPlayer& C) {
  TTeamBlock& D = W.Teams[2];
  if (!(C.GettingTackledTimer > 0) || C.GettingTackledKind != 0 || C.numgoverning != D.TacklersWanted) return;
  const double bx = W.BallPos.x;
  const double bz = W.BallPos.z;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = D.Players[i];
    if (!(std::fabs(P.Pos.x - bx) < 2.0) || !(std::fabs(P.Pos.z - bz) < 1.75)) continue;
    P.DesiredPos.x = static_cast<f32>(P.Pos.x >= bx ? bx + 2.0 : bx - 2.0);
  }
}

void RunningFrame(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  const bool hasCarrier = IsPlayer(A.BallCarrier);
  if (hasCarrier) {
    const TPlayer& C = A.Players[A.BallCarrier];
    const bool tackled = C.GettingTackledTimer > 0;
    PlaceLineSlots(A, C.Pos.x, C.Pos.z);
    PlaceSupportGridAround(W, A, C, tackled ? kGridBackTackled : kGridBack);
    PlaceLinePlayers(W, A.BallCarrier, false, true);
    // The carrier's forward speed a step on, never backwards while he catches.
    double v = C.Velocity.z + static_cast<double>(C.Acceleration) * W.TimeStep;
    if (C.passcatchtimer > 0 && v < 0) v = 0;
    PlaceGridPlayers(W, A.BallCarrier, v, C.Pos.z - 2.0, false, true);
    SendFirstToBreakdown(W, C);
  }
  HoldReactingPlayers(W);
  RunActionSequences(W);
  if (hasCarrier) {
    const TPlayer& C = A.Players[A.BallCarrier];
    const bool tackled = C.GettingTackledTimer > 0;
    KeepOutOfPath(W, A.BallCarrier, tackled ? 0.7 : 0.5, tackled ? 1.5 : 2.0);
    SteerPassReceiver(W, C);
  }
  PlaceDefence(W);
  HoldReadingDefenders(W);
  if (IsPlayer(A.BallCarrier)) ClearBreakdown(W, A.Players[A.BallCarrier]);
  MoveTacklePlayers(W);
}

}  // namespace

void PlaceLineSlots(TTeamBlock& A, f32 X, f32 Z) {
  for (int k = 1; k <= kSlotCount; ++k) {
    A.SetPieceSlotPos[k] = {static_cast<f32>(static_cast<double>(X) + A.LineSlotPos[k].x),
                            static_cast<f32>(static_cast<double>(Z) + A.LineSlotPos[k].z)};
  }
}

void PlaceGridPlayers(TWorld& W, i32 Holder, double ForwardSpeed, double LineZ, bool SkipHolder,
                      bool KickClearance) {
  TTeamBlock& A = W.Teams[1];
  const TPlayer* C = PlayerAt(A, Holder);
  if (C == nullptr) return;
  const double edge = HalfWidth(W) - 0.3;
  const int side = SupportGridSide(A);
  for (int r = 1; r <= side; ++r) {
    for (int c = 1; c <= side; ++c) {
      const i32 p = A.SupportGridCells[r][c];
      if (!IsPlayer(p) || (SkipHolder && p == Holder)) continue;
      TPlayer& P = A.Players[p];
      P.DesiredPos.x = A.SupportGridSpots[r][c].x;
      P.DesiredPos.z = A.SupportGridSpots[r][c].z;
      AdjustDesiredPosBehindLine(P, kTrue32, kFalse32, C->Velocity.x, static_cast<f32>(ForwardSpeed),
                                 static_cast<f32>(LineZ), 0.01f, C->Pos.x, C->Pos.z, 0.364f,
                                 W.TimeStep, 0.1f);
      P.DesiredPos.x = static_cast<f32>(Clamp(P.DesiredPos.x, -edge, edge));
      if (KickClearance) ClearKicker(*C, P);
      HoldAfterSetPiece(W, *C, P);
    }
  }
}

void PlaceSupportGridAround(const TWorld& W, TTeamBlock& A, const TPlayer& Holder, double Back) {
  const int side = SupportGridSide(A);
  const double halfW = HalfWidth(W);
  double x = Holder.Pos.x - side / 2.0 + 0.5;
  if (x < -halfW + 0.75) x = -halfW + 0.75;
  if (x + side + 1 > halfW - 0.75) x -= x + side + 1 - (halfW - 0.75);
  SetSupportGridOrigin(A, static_cast<f32>(x), static_cast<f32>(Holder.Pos.z - Back));
}

void PlaceLinePlayers(TWorld& W, i32 Holder, bool SkipHolder, bool KickClearance) {
  TTeamBlock& A = W.Teams[1];
  const TPlayer* C = PlayerAt(A, Holder);
  if (C == nullptr) return;
  for (int k = NextFilledSlot(A.SetPieceLine, 1); k <= kSlotCount; k = NextFilledSlot(A.SetPieceLine, k + 1)) {
    const i32 p = A.SetPieceLine[k];
    if (!IsPlayer(p) || (SkipHolder && p == Holder)) continue;
    PlaceLinePlayer(W, *C, k, A.Players[p], KickClearance);
  }
}

void KeepOutOfPath(TWorld& W, i32 Holder, double Back, double Side) {
  if (!(W.TimeSinceSetPiece > kSetPieceHoldTime)) return;
  TTeamBlock& A = W.Teams[1];
  const TPlayer* C = PlayerAt(A, Holder);
  if (C == nullptr) return;
  const double cx = C->Pos.x;
  const double cz = C->Pos.z;
  const double dt = W.TimeStep;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    if (p == Holder) continue;
    TPlayer& P = A.Players[p];
    const double px = P.Pos.x;
    const double pz = P.Pos.z;
    if (!(cz - Back < pz && pz < cz + 10.0)) continue;
    const bool left = cx - Side < px && px <= cx;
    const bool right = cx < px && px < cx + Side;
    if (!left && !right) continue;
    const double d = pz <= cz ? 1.0 : 1.5;
    P.DesiredPos.z = static_cast<f32>(cz - Back - 0.1 + C->Velocity.z * dt);
    P.DesiredPos.x = static_cast<f32>(cx + C->Velocity.x * dt + (left ? -d : d));
  }
}

void MoveTacklePlayers(TWorld& W) {
  for (int i = 1; i <= PlayerCount(W); ++i) {
    MoveTackledPlayer(W, W.Teams[1].Players[i], true);
    MoveTackledPlayer(W, W.Teams[2].Players[i], false);
  }
  for (int i = 1; i <= PlayerCount(W); ++i) {
    MoveTackler(W, W.Teams[1].Players[i], W.Teams[2]);
    MoveTackler(W, W.Teams[2].Players[i], W.Teams[1]);
  }
}

void DoRunning(TWorld& W) { RunStateHandler(W, W.RunningPhase, SetUpRunning, RunningFrame); }

// A player sliding on in a tackle of kind 6, 7 or 8.
void MoveTackledPlayer(const TWorld& W, TPlayer& P, bool FirstBlock) {
  if (!(P.GettingTackledTimer > 0)) return;
  double share = 0;  // of the animation, from which he slows
  if (P.GettingTackledKind == 6) {
    share = 0.92;
  } else if (P.GettingTackledKind == 7) {
    share = FirstBlock ? 0.55 : 0.7;
  } else if (P.GettingTackledKind == 8) {
    share = 0.7;
  } else {
    return;
  }
  const double slowFrame = RoundHalfEven(P.maxframes * share);
  if (slowFrame <= P.currentframe) {
    P.GettingTackledSpeed = DepleteByRate(P.GettingTackledSpeed, W.GroundFriction, W.TimeStep, W.Gravity);
  }
  const TDirection u = HeadingDirection(P.GettingTackledAngle);
  const double step = static_cast<double>(P.GettingTackledSpeed) * W.TimeStep;
  P.DesiredPos.x = static_cast<f32>(P.Pos.x + u.x * step);
  P.DesiredPos.z = static_cast<f32>(P.Pos.z + u.z * step);
}

// A tackler on his lunge, or on the contact point of the opponent he holds.
void MoveTackler(const TWorld& W, TPlayer& P, const TTeamBlock& Opponents) {
  if (!(P.TackleAttemptTimer > 0)) return;
  if (P.TackleAttemptKind == 3 && P.currentframe >= P.TackleAttemptLungeFrame) {
    P.TackleAttemptSpeed = DepleteByRate(P.TackleAttemptSpeed, W.GroundFriction, W.TimeStep, W.Gravity);
  }
  const TDirection u = HeadingDirection(P.TackleAttemptAngle);
  const double step = static_cast<double>(P.TackleAttemptSpeed) * W.TimeStep;
  P.DesiredPos.x = static_cast<f32>(P.Pos.x + u.x * step);
  P.DesiredPos.z = static_cast<f32>(P.Pos.z + u.z * step);
  const TPlayer* O = PlayerAt(Opponents, P.governedby);
  if (O == nullptr || !Arr1<TVector2, 8>::InRange(P.ContactPoint)) return;
  P.DesiredPos.x = O->Footprint[P.ContactPoint].x;
  P.DesiredPos.z = O->Footprint[P.ContactPoint].z;
}
