// Stage 3 of the defence placement, positions (DefenseUnit.h).
#include "flow/DefenseUnit.h"

#include <algorithm>
#include <cmath>

#include "core/AttackTarget.h"
#include "core/Geometry.h"
#include "core/Interception.h"
#include "core/Kinematics.h"
#include "core/PlayerLists.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/RunLog.h"
#include "flow/DefenseShared.h"

using namespace defence;

namespace {

constexpr double kOpenGapMin = 2.75, kOpenGapMax = 7.5;    // m between line neighbours, open side
constexpr double kCloseGapMin = 2.0, kCloseGapMax = 5.5;   // m, close side
constexpr double kTouchStepMin = 0.75;     // m between defenders re-spaced at a touchline
constexpr double kMarkDeeper = 1.0;        // m deeper near the breakdown
constexpr double kMarkBand = 2.5;          // m either side of the mark, and the called mark's aside
constexpr double kFullbackAhead = 4.0;     // m behind the reference
constexpr double kFullbackMaxZ = 50.5;     // m
constexpr double kRestartBand = 4.0;       // m past the restart depth
constexpr double kRestartNearZ = 28.0;     // m
constexpr double kLineBreakAside = 0.5;    // m
constexpr double kBackPedalSpeed = 3.0;    // m/s
constexpr double kBackPedalMinTop = 3.1;   // m/s
constexpr double kFullbackTouch = 1.0;     // m inside each touchline
constexpr double kEndDropRange = 30.0;     // m across in which an end defender's drop is scaled
constexpr double kEndDropLeast = 0.05;
constexpr double kExtraGap = 1.75;         // m
constexpr double kRuckExtraGapBase = 10.0, kRuckExtraGapPer = 2.0, kRuckExtraGapLeast = 1.95;  // m
constexpr double kExtraDepth = 1.5, kOpenExtraDepth = 2.0, kRuckExtraDepth = 1.95;  // m
constexpr double kExtrasTouch = 0.5;       // m inside each touchline
constexpr double kSweeperDepth = 4.0;      // m
constexpr double kSweeperGoalOver = 0.5;   // m beyond the try line at most
constexpr double kChaseLead = 0.4, kLongChaseLead = 0.75;  // m ahead of the target
constexpr double kChaseAside = 0.5;        // m
constexpr double kChaseBehind = 3.75;      // m
constexpr double kCatchAhead = 0.75;       // m
constexpr double kCatchMargin = 0.1;       // s
constexpr double kMarkCalledGap = 11.0;    // m
constexpr double kMarkCalledNearZ = 5.0;   // m
constexpr double kRuckRunnerAside = 0.75;  // m
constexpr double kRuckNearX = 8.0, kRuckNearZ = 7.0;  // m round the mark
constexpr double kRunnerLead = 0.1;        // s of the runner's motion
constexpr double kNearestRunnerStart = 10000.0;  // m
constexpr double kLineReload = 0.45, kMatchupReload = 0.5, kPressureReload = 0.2;  // s

// Where a chaser running from his position meets a target that starts at
// (X, Z) and runs like player T along Heading.
TVector2 MeetRunner(const TWorld& W, const TPlayer& Him, const TPlayer& T, double Heading, double X, double Z,
                    bool TargetAccelerates, bool KeepInField) {
  return InterceptPoint(ToF32(Heading), ToF32(X), ToF32(Z), T.speed, T.Acceleration, T.maxspeed, Him.Pos.x, Him.Pos.z,
                        Him.speed, Him.Acceleration, Him.maxspeed, W.PitchWidth,
                        TargetAccelerates ? kTrue32 : kFalse32, kTrue32, KeepInField ? kTrue32 : kFalse32);
}

void SetDesired(TPlayer& P, double X, double Z) {
  P.DesiredPos.x = ToF32(X);
  P.DesiredPos.z = ToF32(Z);
}

void SetDesired(TPlayer& P, TVector2 V) {
  P.DesiredPos.x = V.x;
  P.DesiredPos.z = V.z;
}

TPlayer* SlotDefender(TWorld& W, int s) {
  return s >= 1 && s <= 201 ? PlayerAt(W.Teams[2], W.DefSlotDefender[s]) : nullptr;
}

// Step 1: the window slot of the reference whose defender squares up to
// him, from the side the attack goes.
void ChooseAnchor(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  const i32 ref = D.BlockChaseTarget;
  const int lo = std::max(1, static_cast<int>(D.DefWindowStart));
  const int hi = std::min(201, static_cast<int>(D.DefWindowEnd));
  auto fits = [&](int s) { return W.DefSlotAttacker[s] == ref && ref != 0 && W.DefSlotDefender[s] != 0; };
  if (D.DefAttackToNegX != 0) {
    for (int s = hi; s >= lo; --s) {
      if (fits(s)) {
        D.DefAnchorSlot = s;
        return;
      }
    }
  } else {
    for (int s = lo; s <= hi; ++s) {
      if (fits(s)) {
        D.DefAnchorSlot = s;
        return;
      }
    }
  }
}

// One side of the line out from the anchor: each defender faces his slot's
// attacker, kept between MinGap and MaxGap of his inner neighbour (the near
// bound first); on the open side a chaser of the reference off its slots
// goes straight to the reference's x.
void PlaceLineSide(TWorld& W, const TRefRun& R, int Dir, bool Open) {
  TTeamBlock& D = W.Teams[2];
  const TTeamBlock& A = W.Teams[1];
  const int anchor = D.DefAnchorSlot;
  const int last = Dir < 0 ? std::max(1, static_cast<int>(D.DefWindowStart))
                           : std::min(201, static_cast<int>(D.DefWindowEnd));
  const double minGap = Open ? kOpenGapMin : kCloseGapMin;
  const double maxGap = Open ? kOpenGapMax : kCloseGapMax;
  double inner = R.P->Pos.x;  // x of the last defender placed nearer the anchor
  for (int s = anchor + Dir; Dir < 0 ? s >= last : s <= last; s += Dir) {
    TPlayer* P = SlotDefender(W, s);
    if (P == nullptr) continue;
    const TPlayer* Att = PlayerAt(A, W.DefSlotAttacker[s]);
    double x = Att != nullptr ? static_cast<double>(Att->Pos.x) : inner;
    if (Dir < 0) {
      x = std::min(x, inner - minGap);
      x = std::max(x, inner - maxGap);
    } else {
      x = std::max(x, inner + minGap);
      x = std::min(x, inner + maxGap);
    }
    if (Open && P->chasertimer > 0 && P->OnRefSlot == 0 && P->ChaseTarget == R.Id) x = R.P->Pos.x;
    P->DesiredPos.x = ToF32(x);
    inner = P->DesiredPos.x;
  }
}

// Step 2: the line's x from the anchor outward; the open side is the one
// away from where the attack goes.
void PlaceLineX(TWorld& W, const TRefRun& R) {
  TTeamBlock& D = W.Teams[2];
  TPlayer* Anchor = SlotDefender(W, D.DefAnchorSlot);
  if (Anchor == nullptr) return;
  Anchor->DesiredPos.x = R.P->Pos.x;
  const bool toNegX = D.DefAttackToNegX != 0;
  PlaceLineSide(W, R, -1, !toNegX);
  PlaceLineSide(W, R, +1, toNegX);
}

// Step 3: a line that would reach over a touchline is laid out again from
// the reference's first (or last) slot, at least 0.75 m apart.
void FitLineToTouch(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  const double half = W.PitchWidth / 2.0;
  const int first = D.DefRefWindowFirst, last = D.DefRefWindowLast;
  const int start = D.DefWindowStart, end = D.DefWindowEnd;
  const TPlayer* E = SlotDefender(W, end);
  const TPlayer* F = SlotDefender(W, first);
  if (E != nullptr && F != nullptr && E->DesiredPos.x > half && first < end) {
    const double x0 = F->DesiredPos.x;
    const double step = std::max((half - x0) / (end - first), kTouchStepMin);
    for (int s = first + 1; s <= std::min(end, 201); ++s) {
      if (TPlayer* P = SlotDefender(W, s)) P->DesiredPos.x = ToF32(x0 + (s - first) * step);
    }
  }
  const TPlayer* S = SlotDefender(W, start);
  const TPlayer* L = SlotDefender(W, last);
  if (S != nullptr && L != nullptr && S->DesiredPos.x < -half && last > start) {
    const double x0 = L->DesiredPos.x;
    const double step = std::max((x0 + half) / (last - start), kTouchStepMin);
    for (int s = last - 1; s >= std::max(start, 1); --s) {
      if (TPlayer* P = SlotDefender(W, s)) P->DesiredPos.x = ToF32(x0 - (last - s) * step);
    }
  }
}

// Steps 4 and 5: players off the line keep their x; everyone's depth comes
// from the side's depth profile across the pitch, anchored at the reference
// point.
void PlaceDepth(TWorld& W, const TRefRun& R) {
  TTeamBlock& D = W.Teams[2];
  const double goal = W.PitchLength / 2.0;
  double px = W.BallPos.x, pz = W.BallPos.z;
  if (OpenPlay(W)) {
    px = static_cast<double>(R.P->Pos.x) + D.DefenceLineAux;
    pz = D.DefenceLineRefZ;
  } else if (W.gamestate == gsGotTackled) {
    px = static_cast<double>(W.MarkX) + D.DefenceLineAux;
    pz = static_cast<double>(W.MarkZ) + D.DefenceLineOffset;
  }
  const bool tackled = W.gamestate == gsGotTackled;
  if (PlayerCount(W) < 1) return;  // nothing placed, and no anchor rounded
  const f32 anchorX = ToF32(px), anchorZ = ToF32(pz);
  for (int p = 1; p <= PlayerCount(W); ++p) {
    TPlayer& P = D.Players[p];
    if (P.SetPiecePlaced == 0) P.DesiredPos.x = P.Pos.x;
    double z = ProfileValueAt(D.CurrentStrategy, P.DesiredPos.x, anchorX, anchorZ);
    if (!tackled && z > goal && W.BallPos.z < goal) z = goal;
    if (tackled && std::fabs(static_cast<double>(P.Pos.x) - W.MarkX) < kMarkBand) z += kMarkDeeper;
    P.DesiredPos.z = ToF32(z);
  }
}

// Step 6, the back-pedal: a fullback with a line break in front of him
// backs off at 3 m/s while he can still cover the reference's side step.
void BackPedal(const TWorld& W, const TRefRun& R, TPlayer& F) {
  const double top = F.maxspeed;
  if (!(kBackPedalMinTop < top)) return;
  const TPlayer& Ref = *R.P;
  const double dt = W.TimeStep;
  const double lateral = std::sqrt(top * top - kBackPedalSpeed * kBackPedalSpeed);
  const double closing = std::max(1.0, kBackPedalSpeed + Ref.Velocity.z + F.Acceleration * dt);
  const double meet = (static_cast<double>(F.Pos.z) - Ref.Pos.z - 0.25) / closing;
  double latClosing = lateral - std::fabs(static_cast<double>(Ref.Velocity.x)) - Ref.Acceleration * dt;
  if (latClosing < 0.1) latClosing = 0.1;
  if (!(std::fabs(static_cast<double>(F.Pos.x) - Ref.Pos.x) / latClosing < meet)) return;
  F.DesiredPos.z = ToF32(F.Pos.z - kBackPedalSpeed * dt);
  const double dx = static_cast<double>(F.DesiredPos.x) - F.Pos.x;
  const double reach = lateral * dt;
  if (std::fabs(dx) > reach) F.DesiredPos.x = ToF32(F.Pos.x + (dx > 0 ? reach : -reach));
}

// Step 6: the fullback covers the point the attack aims at; in open play he
// comes up behind the reference and meets him there.
void PlaceFullback(TWorld& W, const TRefRun& R) {
  TTeamBlock& D = W.Teams[2];
  TPlayer* F = PlayerAt(D, D.DeepPlayerNumber);
  if (F == nullptr) return;
  SetDesired(*F, CarrierTargetPoint(W, F->Pos.x, F->Pos.z));
  if (!OpenPlay(W)) return;
  const TPlayer& Ref = *R.P;
  const double rx = Ref.Pos.x, rz = Ref.Pos.z;
  const bool nearRestart = rz < static_cast<double>(W.RestartRefZ) + kRestartBand && rz <= kRestartNearZ;
  const bool lineBreak = F->PerceivedLineBreak != 0;
  if (!nearRestart) {
    if (rz + kFullbackAhead < F->DesiredPos.z) SetDesired(*F, rx, std::min(rz + kFullbackAhead, kFullbackMaxZ));
    if (lineBreak) F->DesiredPos.x = ToF32(F->Pos.x > rx ? rx + kLineBreakAside : rx - kLineBreakAside);
    SetDesired(*F, MeetRunner(W, *F, Ref, R.Heading, F->DesiredPos.x, F->DesiredPos.z, true, false));
  }
  if (lineBreak && rz + 2.0 < F->Pos.z) BackPedal(W, R, *F);
  const double inside = W.PitchWidth / 2.0 - kFullbackTouch;
  F->DesiredPos.x = ToF32(std::clamp(static_cast<double>(F->DesiredPos.x), -inside, inside));
}

// Step 7: the defenders at the ends of the window drop off the line, less
// the nearer they are to the ball; in open play one not clearly outside the
// ball runs to where the reference is going.
void PlaceLineEnd(TWorld& W, const TRefRun& R, TPlayer& P, bool StartEnd) {
  const double bx = W.BallPos.x, bz = W.BallPos.z;
  if (Passing(W) && P.Pos.z > W.BallPos.z) {
    P.DesiredPos.z = P.Pos.z;
    return;
  }
  const double z = std::max(bz + (W.PitchLength / 2.0 - bz) / 3.0, bz);
  double dz = z;
  const double d = std::fabs(static_cast<double>(P.DesiredPos.x) - bx);
  if (d < kEndDropRange && z > bz) dz = bz + std::max(d / kEndDropRange, kEndDropLeast) * (z - bz);
  if (W.gamestate == gsGotTackled) dz = std::max(dz, static_cast<double>(W.Teams[2].SetPieceLineZ));
  P.DesiredPos.z = ToF32(dz);
  if (!OpenPlay(W)) return;
  const bool inside = StartEnd ? P.DesiredPos.x + 1.0 > bx : P.DesiredPos.x - 1.0 < bx;
  if (inside && bz + 5.0 > P.DesiredPos.z && IsPlayer(R.Id) && P.maxspeed > 0) {
    const double t = std::max(0.5, static_cast<double>(P.Pos.z) - R.P->Pos.z) / P.maxspeed;
    P.DesiredPos.x = ToF32(R.P->Pos.x + R.P->Velocity.x * t);
  }
}

void PlaceLineEnds(TWorld& W, const TRefRun& R) {
  const TTeamBlock& D = W.Teams[2];
  for (const bool startEnd : {true, false}) {
    const int s = startEnd ? D.DefWindowStart : D.DefWindowEnd;
    TPlayer* P = SlotDefender(W, s);
    if (P != nullptr && W.DefSlotDefender[s] > 6) PlaceLineEnd(W, R, *P, startEnd);
  }
}

// Attackers round the breakdown who could run from it: on their feet,
// free, not the holder, within 8 m across and 7 m behind the mark.
int AttackersNearMark(const TWorld& W) {
  const TTeamBlock& A = W.Teams[1];
  int n = 0;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    const TPlayer& P = A.Players[p];
    if (p == A.SetPieceHolder || P.RuckTimer > 0 || P.GettingTackledTimer > 0 || P.TackleAttemptTimer > 0 ||
        P.OldTackleTimer > 0 || P.standuptimer > 0) {
      continue;
    }
    const double z = P.Pos.z;
    if (z < W.MarkZ && std::fabs(z - W.MarkZ) < kRuckNearZ && std::fabs(static_cast<double>(P.Pos.x) - W.MarkX) < kRuckNearX) {
      ++n;
    }
  }
  return n;
}

// Step 8: the spare defenders in a row behind the reference (behind the
// ruck in gottackled, wider apart the fewer attackers there are round it);
// in open play each meets the reference's run from his place in the row.
void PlaceExtras(TWorld& W, const TRefRun& R) {
  TTeamBlock& D = W.Teams[2];
  const TPlayer& Ref = *R.P;
  double gap = kExtraGap;
  double cx = Ref.Pos.x;
  double cz = static_cast<double>(Ref.Pos.z) + (OpenPlay(W) ? kOpenExtraDepth : kExtraDepth);
  if (W.gamestate == gsGotTackled) {
    gap = std::max(kRuckExtraGapBase - kRuckExtraGapPer * AttackersNearMark(W), kRuckExtraGapLeast);
    cx = W.MarkX;
    cz = static_cast<double>(D.SetPieceLineZ) + kRuckExtraDepth;
  }
  const int k = ArrCount(D.DefExtras);
  if (k == 0) return;
  const double width = (k - 1) * gap;
  const double room = W.PitchWidth / 2.0 - kExtrasTouch;
  if (cx + width / 2.0 > room) cx = room - width / 2.0;
  if (cx - width / 2.0 < -room) cx = -room + width / 2.0;
  int j = 0;
  for (int e = 1; e <= kMaxExtras; ++e) {
    TPlayer* P = PlayerAt(D, D.DefExtras[e]);
    if (D.DefExtras[e] == 0) continue;
    const double x = cx - width / 2.0 + j++ * gap;
    if (P == nullptr) continue;
    if (OpenPlay(W)) {
      SetDesired(*P, MeetRunner(W, *P, Ref, R.Heading, x, cz, true, Ref.Velocity.z >= 0));
    } else {
      SetDesired(*P, x, cz);
    }
  }
}

// Step 9: the sweeper stands 4 m behind the ball, the reference or the ruck.
void PlaceSweeper(TWorld& W, const TRefRun& R) {
  TTeamBlock& D = W.Teams[2];
  TPlayer* S = PlayerAt(D, D.SelectedPlayer);
  if (S == nullptr || S->chasertimer > 0) return;
  double x = W.BallPos.x, z = static_cast<double>(W.BallPos.z) + kSweeperDepth;
  if (OpenPlay(W)) {
    x = R.P->Pos.x;
    z = static_cast<double>(R.P->Pos.z) + kSweeperDepth;
  } else if (W.gamestate == gsGotTackled) {
    x = W.MarkX;
    z = static_cast<double>(D.SetPieceLineZ) + kSweeperDepth;
  }
  z = std::min(z, W.PitchLength / 2.0 + kSweeperGoalOver);
  SetDesired(*S, x, z);
  if (OpenPlay(W)) SetDesired(*S, MeetRunner(W, *S, *R.P, R.Heading, x, z, true, false));
}

// Step 10 for one chaser: false when his chase no longer stands.
bool ChaseStands(const TWorld& W, const TPlayer& P, i32 Holder) {
  if (P.ChaseTarget == Holder) return true;
  if (P.ChaseTimer <= 0) return P.PerceivedPlayer == P.ChaseTarget;
  if (Passing(W)) return P.PerceivedPlayer == P.ChaseTargetOverride;
  return true;
}

void PlaceChaser(TWorld& W, const TRefRun& R, i32 Me) {
  const TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  TPlayer& P = D.Players[Me];
  const i32 holder = Running(W) ? A.BallCarrier : A.PassReceiver;
  if (!ChaseStands(W, P, holder)) {
    P.chasertimer = 0;
    return;
  }
  P.shimmytimer = 0;
  const bool override = P.ChaseTimer > 0;
  const i32 t = override ? P.ChaseTargetOverride : P.ChaseTarget;
  const TPlayer* T = PlayerAt(A, t);
  if (T == nullptr) return;
  const double lead = Passing(W) || override ? kLongChaseLead : kChaseLead;
  const double rx = R.P->Pos.x;
  double offset = 0;
  if (t == R.Id && static_cast<double>(R.P->Pos.z) + kChaseBehind < P.Pos.z) {
    offset = P.Pos.x <= rx ? -kChaseAside : kChaseAside;
    const TPlayer* S = PlayerAt(D, D.SelectedPlayer);
    if (S != nullptr && Me != D.DeepPlayerNumber && Me != D.SelectedPlayer) {
      offset += S->Pos.x <= rx ? kChaseAside : -kChaseAside;
    }
  }
  if (Passing(W) && t == A.PassReceiver && P.maxspeed > 0) {
    const double left = A.PassTimeLeft;
    const double cx = T->Pos.x + T->Velocity.x * left;
    const double cz = T->Pos.z + T->Velocity.z * left + kCatchAhead;
    if (Distance2D(P.Pos.x, P.Pos.z, ToF32(cx), ToF32(cz)) / P.maxspeed < kCatchMargin + left) {
      SetDesired(P, cx, cz);
      return;
    }
  }
  // The reference's heading is already at hand (the same call on the same
  // player).
  const double heading = T == R.P ? R.Heading
                                  : HeadingToPoint(T->OldPos.x, T->OldPos.z, T->Pos.x, T->Pos.z,
                                                   ToF32(kRefHeadingDefault));
  SetDesired(P, MeetRunner(W, P, *T, heading, static_cast<double>(T->Pos.x) + offset,
                           static_cast<double>(T->Pos.z) + lead, T->KickTimer <= 0, T->Velocity.z >= 0));
  const double goal = W.PitchLength / 2.0;
  if (P.Pos.z > T->Pos.z && T->Pos.z < goal && P.DesiredPos.z > goal) P.DesiredPos.z = ToF32(goal);
}

// Step 10: every chaser runs to meet his target.
void PlaceChasers(TWorld& W, const TRefRun& R) {
  if (!(Passing(W) || (Running(W) && W.MarkCalled == 0))) return;
  TTeamBlock& D = W.Teams[2];
  for (int p = 1; p <= PlayerCount(W); ++p) {
    if (D.Players[p].chasertimer > 0) PlaceChaser(W, R, p);
  }
}

// Steps 11 and 12: an offside player who gives way goes back to his line;
// after a called mark everyone stands 11 m off the ball and out of the
// kicker's way.
void KeepOnside(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  if (OpenPlay(W)) {
    for (int p = 1; p <= PlayerCount(W); ++p) {
      TPlayer& P = D.Players[p];
      if (P.OffsideMark > 0 && P.OffsideStays == 0) P.DesiredPos.z = P.OffsideLineZ;
    }
  }
  if (!Running(W) || W.MarkCalled == 0) return;
  const double bx = W.BallPos.x, bz = W.BallPos.z;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    TPlayer& P = D.Players[p];
    P.DesiredPos.z = ToF32(std::max(static_cast<double>(P.DesiredPos.z), bz + kMarkCalledGap));
    const double x = P.Pos.x;
    if (std::fabs(x - bx) < kMarkBand && std::fabs(static_cast<double>(P.Pos.z) - bz) < kMarkCalledNearZ) {
      P.DesiredPos.x = ToF32(x < bx ? bx - kMarkBand : bx + kMarkBand);
    }
  }
}

// Step 13: each attacker released to run from the breakdown (or the
// receiver of a pass near the mark) is marked by the nearest free defender
// who sees the threat.
void MarkRuckRunners(TWorld& W) {
  if (W.gamestate != gsGotTackled || W.RuckThreat == 0) return;
  const TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  for (int i = 1; i <= PlayerCount(W); ++i) {
    const TPlayer& Run = A.Players[i];
    const bool runs = Run.ActionSeq.seqON != 0 && Run.ActionSeq.SeqHeadFlag != 0;
    if (!runs && !(W.RuckPassNearMark != 0 && i == A.PassReceiver)) continue;
    const double x = Run.Pos.x;
    const double spot = x > W.MarkX ? x + kRuckRunnerAside : x - kRuckRunnerAside;
    double best = kNearestRunnerStart;
    int marker = 0;
    for (int p = 1; p <= PlayerCount(W); ++p) {
      const TPlayer& P = D.Players[p];
      if (!IsFree(P) || p == D.DeepPlayerNumber || p == D.LeftEdgePlayer || p == D.RightEdgePlayer) continue;
      const double d = std::fabs(static_cast<double>(P.DesiredPos.x) - spot);
      if (d < best) {
        best = d;
        marker = p;
      }
    }
    if (marker == 0 || D.Players[marker].PerceivedRuckThreat == 0) continue;
    for (int p = 1; p <= PlayerCount(W); ++p) {
      TPlayer& P = D.Players[p];
      if (p != marker && P.RuckMarkedRunner == i) {
        P.RuckMarking = kFalse32;
        P.RuckMarkedRunner = 0;
      }
    }
    D.Players[marker].RuckMarking = kTrue32;
    D.Players[marker].RuckMarkedRunner = i;
  }
}

// Step 14: the markers stay a step outside their runners; outside the
// breakdown (and the pass from it) nobody marks a runner.
void PlaceRuckMarkers(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  const bool marking = W.gamestate == gsGotTackled || (Passing(W) && W.FromGameState == gsGotTackled);
  for (int p = 1; p <= PlayerCount(W); ++p) {
    TPlayer& P = D.Players[p];
    if (!marking) {
      P.RuckMarking = kFalse32;
      P.RuckMarkedRunner = 0;
      continue;
    }
    const TPlayer* Run = PlayerAt(W.Teams[1], P.RuckMarkedRunner);
    if (P.RuckMarkedRunner <= 0 || Run == nullptr) continue;
    P.shimmytimer = 0;
    const double x = static_cast<double>(Run->Pos.x) + kRunnerLead * Run->Velocity.x;
    P.DesiredPos.x = ToF32(Run->Pos.x > W.MarkX ? x + kRuckRunnerAside : x - kRuckRunnerAside);
  }
}

// Step 15: the line, matchups and pressure re-plan again after their
// intervals.
void ReloadClocks(TWorld& W) {
  if (LineTimer(W) <= 0) LineTimer(W) = ToF32(kLineReload);
  if (MatchupTimer(W) <= 0) MatchupTimer(W) = ToF32(kMatchupReload);
  if (PressureTimer(W) <= 0) PressureTimer(W) = ToF32(kPressureReload);
}

}  // namespace

namespace defence {

// The look-ahead's view of each defender: closing on the carrier (also the
// advantage's sign that a defender is on him), engaged with him. The side in
// possession has none.
void MarkClosingDefenders(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  const i32 carrier = W.Teams[1].BallCarrier;
  const bool named = IsPlayer(carrier);
  for (int p = 1; p <= PlayerCount(W); ++p) {
    TPlayer& P = D.Players[p];
    P.ClosingOnCarrier = named && P.chasertimer > 0 && P.ChaseTarget == carrier ? kTrue32 : kFalse32;
    P.ClosingEngaged = named && P.TackleAttemptTimer > 0 && P.target == carrier ? kTrue32 : kFalse32;
    P.AdvantageContactFlag = P.ClosingOnCarrier;
    TPlayer& Q = W.Teams[1].Players[p];
    Q.ClosingOnCarrier = Q.ClosingEngaged = Q.AdvantageContactFlag = kFalse32;
  }
}

void PlaceAll(TWorld& W, const TRefRun& R) {
  ChooseAnchor(W);
  PlaceLineX(W, R);
  FitLineToTouch(W);
  PlaceDepth(W, R);
  PlaceFullback(W, R);
  PlaceLineEnds(W, R);
  PlaceExtras(W, R);
  PlaceSweeper(W, R);
  PlaceChasers(W, R);
  KeepOnside(W);
  MarkRuckRunners(W);
  PlaceRuckMarkers(W);
  ReloadClocks(W);
}

}  // namespace defence

void PlaceDefenders(TWorld& W) { PlaceAll(W, ReadReference(W)); }
