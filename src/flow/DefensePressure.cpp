// Stage 2 of the defence placement, pressure and chase (DefenseUnit.h).
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

constexpr double kMinRefSpeed = 0.1;      // m/s
constexpr double kEdgeRearmTime = 0.5;    // s to his intercept point
constexpr double kEdgeRearm = 0.2;        // s
constexpr double kSetPieceChaseSpeed = 10.0;  // m/s
constexpr double kPresserTime = 5.0;      // s
constexpr double kEdgeChaseTime = 1.0;    // s
constexpr double kEdgeChaseArmed = 0.2;   // s: an edge defender's clock at or below this may be re-armed
constexpr double kSelectedChaseTime = 2.5;  // s
constexpr double kDroppedBackExtra = 1.5;   // s
constexpr double kNoZ = 10000.0;          // m, least InterceptZ when there is none
constexpr double kNearestStart = 100000.0;  // m

bool Pressing(const TTeamBlock& D, i32 p) { return ArrHas(D.ChaserSlots, p); }

void CountPressers(TTeamBlock& D) { D.ChaserCount = ArrCount(D.ChaserSlots); }

// Steps 1 to 4: the chase clocks of both blocks.
void RunChaseClocks(TWorld& W, const TRefRun& R) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  const double dt = W.TimeStep;
  for (int p = 1; p <= PlayerCount(W); ++p) A.Players[p].chasertimer = ToF32(A.Players[p].chasertimer - dt);
  const bool rearm = (Running(W) && R.P->GettingTackledTimer <= 0) || Passing(W);
  for (int p = 1; p <= PlayerCount(W); ++p) {
    TPlayer& P = D.Players[p];
    if (P.chasertimer <= 0) continue;
    P.chasertimer = ToF32(P.chasertimer - dt);
    if (P.chasertimer > 0 || !rearm || (p != D.LeftEdgePlayer && p != D.RightEdgePlayer)) continue;
    if (P.ChaseTarget != R.Id || P.maxspeed <= 0) continue;
    const double t = Distance2D(P.Pos.x, P.Pos.z, P.InterceptX, P.InterceptZ) / static_cast<double>(P.maxspeed);
    if (t < kEdgeRearmTime) P.chasertimer = ToF32(kEdgeRearm);
  }
  if (!OpenPlay(W)) {
    for (int b = 1; b <= 2; ++b) {
      for (int p = 1; p <= PlayerCount(W); ++p) W.Teams[b].Players[p].chasertimer = 0;
    }
    for (int k = 1; k <= kMaxPressers; ++k) D.ChaserSlots[k] = D.PrevChaserSlots[k] = 0;
  }
  const TPlayer* C = PlayerAt(A, A.BallCarrier);
  if (Running(W) && C != nullptr && C->GettingTackledTimer > 0 && C->numgoverning == D.TacklersWanted) {
    for (int p = 1; p <= PlayerCount(W); ++p) D.Players[p].chasertimer = 0;
  }
}

// Step 5: where the reference's running line meets a touchline.
void FindTouchMeeting(TWorld& W, const TRefRun& R) {
  TTeamBlock& D = W.Teams[2];
  const double h = R.Heading, x = R.P->Pos.x, z = R.P->Pos.z;
  const double half = W.PitchWidth / 2.0;
  double meet = W.PitchLength / 2.0;  // no touchline met
  if (h > 95 && h < 175) {
    meet = z + std::fabs(std::tan((180.0 - h) * kDegToRad)) * std::fabs(half - x);
  } else if (h > 5 && h < 85) {
    meet = z + std::fabs(std::tan(h * kDegToRad)) * std::fabs(-half - x);
  }
  W.RunLineTouchZ = ToF32(meet);
  D.DefHeadingForTouch = meet < W.PitchLength / 2.0 ? kTrue32 : kFalse32;
}

// Step 6: how many pressure defenders are wanted.
void CountPressWanted(TWorld& W, const TRefRun& R) {
  TTeamBlock& D = W.Teams[2];
  D.PressWanted = 1;
  if (!SetPieceState(W.PrevFrameGameState)) {
    if (W.LineBreak != 0 && (W.BallPos.z > W.GainLineZ + 12.2 || W.BallPos.z > W.PitchLength / 2.0 - 3.0)) {
      D.PressWanted = 2;
    }
    if (Running(W) && R.P->Velocity.z < -0.1) D.PressWanted = 2;
  }
  const TPlayer* C = PlayerAt(W.Teams[1], W.Teams[1].BallCarrier);
  if (Running(W) && C != nullptr && C->numgoverning > 0) D.PressWanted = std::max(0, D.TacklersWanted - C->numgoverning);
  D.ChaserCount = 0;
}

// Step 7: the defenders who may press, each with the point where he meets
// the reference, listed by that point's z.
void ListPressCandidates(TWorld& W, const TRefRun& R) {
  TTeamBlock& D = W.Teams[2];
  const TPlayer& Ref = *R.P;
  const double half = W.PitchWidth / 2.0, goal = W.PitchLength / 2.0;
  TPlayerList list = kEmptyPlayerList;
  Arr1<f32, 25> keys{};
  int n = 0;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    TPlayer& P = D.Players[p];
    P.PressCandidate = kTrue32;
    P.CanIntercept = kFalse32;
    if ((Running(W) && P.governedby == R.Id && Ref.numgoverning > 0) ||
        (P.TackleAttemptTimer > 0 && P.TackleAttemptKind == 3) ||
        (P.playertofollowtimer > 0 && P.playertofollow != R.Id) || P.RuckTimer2 > 0 || P.OldTackleTimer > 0 ||
        P.standuptimer > 0 || P.GettingTackledTimer > 0 || P.passcatchtimer > 0 ||
        (P.OffsideMark > 0 && P.OffsideStays == 0)) {
      P.PressCandidate = kFalse32;
      continue;
    }
    const double chase = SetPieceState(W.FromGameState)
                             ? kSetPieceChaseSpeed
                             : (std::clamp(static_cast<double>(P.speed), 1.0, std::max(1.0, static_cast<double>(P.maxspeed))) +
                                P.maxspeed) * 0.5;
    const TVector2 m = InterceptPoint(ToF32(R.Heading), Ref.Pos.x, Ref.Pos.z, ToF32(R.Speed), Ref.Acceleration,
                                      Ref.maxspeed, P.Pos.x, P.Pos.z, ToF32(chase), P.Acceleration, P.maxspeed,
                                      W.PitchWidth, kTrue32, kTrue32, kFalse32);
    P.InterceptX = m.x;
    P.InterceptZ = m.z;
    list[++n] = static_cast<i16>(p);
    keys[n] = m.z;
    bool can = m.z < goal;
    if (!can && D.DefHeadingForTouch != 0 && P.maxspeed > 0) {
      const double cx = R.Heading <= 90 ? -half : half;
      const double refRate = (R.Speed + Ref.maxspeed) / 2.0;
      const double his = Distance2D(P.Pos.x, P.Pos.z, ToF32(cx), ToF32(goal)) / static_cast<double>(P.maxspeed);
      can = refRate > 0 && his < Distance2D(Ref.Pos.x, Ref.Pos.z, ToF32(cx), ToF32(goal)) / refRate;
    }
    P.CanIntercept = can ? kTrue32 : kFalse32;
  }
  const TPlayerList sorted = SortPlayersByKey(list, keys);
  for (int k = 1; k <= 25; ++k) W.DefChaserOrder[k] = static_cast<u16>(sorted[k]);
}

int ChaserOrderCount(const TWorld& W) {
  int n = 0;
  while (n < 25 && W.DefChaserOrder[n + 1] != 0) ++n;
  return n;
}

f32 InterceptZOf(const TTeamBlock& D, i32 p) { return D.Players[p].InterceptZ; }

// Step 8: the defenders on the reference's window slots press, by where
// they meet him.
void PressFromRefSlots(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  for (int p = 1; p <= PlayerCount(W); ++p) D.Players[p].OnRefSlot = kFalse32;
  for (int s = std::max(1, static_cast<int>(D.DefRefWindowFirst)); s <= std::min(201, static_cast<int>(D.DefRefWindowLast));
       ++s) {
    if (TPlayer* P = PlayerAt(D, W.DefSlotDefender[s])) P->OnRefSlot = kTrue32;
  }
  int n = 0;
  const int order = ChaserOrderCount(W);
  for (int k = 1; k <= order && n < kMaxPressers; ++k) {
    const i32 p = W.DefChaserOrder[k];
    if (IsPlayer(p) && D.Players[p].OnRefSlot != 0) D.ChaserSlots[++n] = p;
  }
  D.ChaserCount = n;
}

// Step 9: a defender already chasing the reference replaces the presser who
// meets him latest, when he meets him sooner.
void KeepCommittedChaser(TWorld& W, const TRefRun& R) {
  TTeamBlock& D = W.Teams[2];
  i32 committed = 0;
  const int order = ChaserOrderCount(W);
  for (int k = 1; k <= order; ++k) {
    const i32 p = W.DefChaserOrder[k];
    const TPlayer* P = PlayerAt(D, p);
    if (P == nullptr || P->chasertimer <= 0 || P->ChaseTarget != R.Id || Pressing(D, p)) continue;
    if (committed == 0 || P->InterceptZ < InterceptZOf(D, committed)) committed = p;
  }
  if (committed == 0) return;
  int latest = 0;
  for (int k = 1; k <= D.ChaserCount; ++k) {
    if (latest == 0 || InterceptZOf(D, D.ChaserSlots[k]) > InterceptZOf(D, D.ChaserSlots[latest])) latest = k;
  }
  if (latest != 0 && InterceptZOf(D, committed) < InterceptZOf(D, D.ChaserSlots[latest])) {
    D.ChaserSlots[latest] = committed;
  }
}

// Step 10: when no presser meets the reference short of the gain line,
// pressers who are beaten, or (once) one who is not the best placed, give
// way to the best placed free candidate.
void SwapBeatenPressers(TWorld& W, const TRefRun& R) {
  TTeamBlock& D = W.Teams[2];
  if (D.ChaserCount < 1) return;
  for (int k = 1; k <= D.ChaserCount; ++k) {
    if (InterceptZOf(D, D.ChaserSlots[k]) < W.GainLineZ - 0.2) return;
  }
  const TPlayer& Ref = *R.P;
  const int order = ChaserOrderCount(W);
  int swaps = 0;
  for (int k = D.ChaserCount; k >= 1; --k) {
    const i32 p = D.ChaserSlots[k];
    const TPlayer& P = D.Players[p];
    bool better = false;
    for (int j = 1; j <= order && !better; ++j) {
      const i32 q = W.DefChaserOrder[j];
      better = IsPlayer(q) && !Pressing(D, q) && q != D.DeepPlayerNumber &&
               InterceptZOf(D, q) < InterceptZOf(D, D.ChaserSlots[1]);
    }
    const bool beaten = (P.Pos.z < Ref.Pos.z - 2.5 && P.speed < R.Speed && P.maxspeed < Ref.maxspeed) ||
                        P.CanIntercept == 0;
    if (!beaten && !(better && swaps == 0)) continue;
    for (int j = 1; j <= order; ++j) {
      const i32 q = W.DefChaserOrder[j];
      if (q == p || (IsPlayer(q) && !Pressing(D, q))) {
        D.ChaserSlots[k] = q;
        break;
      }
    }
    if (!beaten) ++swaps;
  }
}

// Step 12: the fullback joins the pressure when the attack threatens to get
// past the line.
void BringInFullback(TWorld& W, const TRefRun& R) {
  TTeamBlock& D = W.Teams[2];
  const i32 f = D.DeepPlayerNumber;
  if (!IsPlayer(f)) return;
  const TPlayer& F = D.Players[f];
  const TPlayer& Ref = *R.P;
  double minZ = kNoZ;
  for (int k = 1; k <= kMaxPressers; ++k) {
    const i32 p = D.ChaserSlots[k];
    if (IsPlayer(p) && p != f) minZ = std::min(minZ, static_cast<double>(InterceptZOf(D, p)));
  }
  const bool plb = F.PerceivedLineBreak != 0;
  const double z = Ref.Pos.z, vz = Ref.Velocity.z, fz = F.Pos.z, fiz = F.InterceptZ;
  const double goal = W.PitchLength / 2.0;
  bool nobodyAhead = true;
  for (int p = 1; p <= PlayerCount(W) && nobodyAhead; ++p) {
    const TPlayer& P = D.Players[p];
    if (p != f && P.Pos.z > z && P.PressCandidate != 0 && P.CanIntercept != 0) nobodyAhead = false;
  }
  const bool joins =
      (plb && minZ >= goal - 0.25) || (minZ > fz && std::fabs(W.BallPos.z - fz) < 28.5) || fz < z ||
      (plb && z + 0.75 * vz > fz) ||
      (plb && z + 2.5 * Ref.maxspeed * static_cast<double>(F.DefensiveRunningAngleReactionTime.max) > fz) ||
      (plb && minZ - z > 10.0 && fiz < minZ) || (plb && z > goal - 1.0 && fiz < minZ) ||
      (fiz < minZ && Distance2D(F.Pos.x, F.Pos.z, Ref.Pos.x, Ref.Pos.z) < 3.75) || nobodyAhead;
  if (!joins || Pressing(D, f)) return;
  if (D.ChaserCount >= kMaxPressers) {
    D.Players[f].chasertimer = ToF32(RandomRange(500, 1001) / 100.0);
    D.Players[f].ChaseTarget = R.Id;
  } else if (const int slot = FirstEmpty(D.ChaserSlots)) {
    D.ChaserSlots[slot] = f;
    CountPressers(D);
  }
}

// Step 13: spare defenders leave the pressure when the reference runs back
// or kicks.
void StandDownExtras(TWorld& W, const TRefRun& R) {
  TTeamBlock& D = W.Teams[2];
  const TPlayer& Ref = *R.P;
  if (!((Ref.Velocity.z < -0.5 && Running(W) && Ref.GettingTackledTimer <= 0) || Ref.KickTimer > 0)) return;
  for (int k = 1; k <= kMaxPressers; ++k) {
    if (D.ChaserSlots[k] != 0 && ArrHas(D.DefExtras, D.ChaserSlots[k])) D.ChaserSlots[k] = 0;
  }
  Pack(D.ChaserSlots);
  CountPressers(D);
}

// Step 14: spare defenders step up when the reference comes forward; the
// nearest candidate joins when he runs back; edge defenders and the sweeper
// chase a line break.
void StepUpChasers(TWorld& W, const TRefRun& R) {
  TTeamBlock& D = W.Teams[2];
  const TPlayer& Ref = *R.P;
  const bool tackled = Ref.GettingTackledTimer > 0;
  const bool holdBack = Ref.Velocity.z <= 0 && !Passing(W) && !tackled;
  if (!holdBack && Ref.KickTimer <= 0 && D.ChaserCount < kMaxPressers) {
    for (int e = 1; e <= kMaxExtras && D.ChaserSlots[kMaxPressers] == 0; ++e) {
      const i32 x = D.DefExtras[e];
      if (!IsPlayer(x) || D.Players[x].PressCandidate == 0) continue;
      const double xz = InterceptZOf(D, x);
      bool needed = true;
      for (int k = 1; k <= kMaxPressers && needed; ++k) {
        const i32 p = D.ChaserSlots[k];
        if (p != 0 && (p == x || InterceptZOf(D, p) + 0.5 < xz)) needed = false;
      }
      if (!needed) continue;
      int replace = 0;
      for (int k = 1; k <= kMaxPressers && replace == 0; ++k) {
        const i32 p = D.ChaserSlots[k];
        if (p != 0 && p != x && ArrHas(D.DefExtras, p) && InterceptZOf(D, p) > xz) replace = k;
      }
      if (replace == 0) replace = FirstEmpty(D.ChaserSlots);
      D.ChaserSlots[replace] = x;
      CountPressers(D);
    }
  }
  if (Running(W) && D.ChaserCount < kMaxPressers && Ref.Velocity.z < 0) {
    double best = kNearestStart;
    i32 nearest = 0;
    for (int p = 1; p <= PlayerCount(W); ++p) {
      const TPlayer& P = D.Players[p];
      if (P.PressCandidate == 0) continue;
      const double d = Distance2D(P.Pos.x, P.Pos.z, Ref.Pos.x, Ref.Pos.z);
      if (d < best) {
        best = d;
        nearest = p;
      }
    }
    if (nearest != 0 && !Pressing(D, nearest)) {
      D.ChaserSlots[FirstEmpty(D.ChaserSlots)] = nearest;
      CountPressers(D);
    }
  }
  for (i32 e : {static_cast<i32>(D.LeftEdgePlayer), static_cast<i32>(D.RightEdgePlayer)}) {
    TPlayer* E = PlayerAt(D, e);
    if (E == nullptr || E->PerceivedLineBreak == 0 || E->chasertimer > kEdgeChaseArmed) continue;
    int ahead = 0;
    for (int p = 1; p <= PlayerCount(W); ++p) {
      const TPlayer& P = D.Players[p];
      if (p == D.LeftEdgePlayer || p == D.RightEdgePlayer || p == D.DeepPlayerNumber) continue;
      if (P.PressCandidate != 0 && P.CanIntercept != 0 && P.Pos.z > Ref.Pos.z) ++ahead;
    }
    if (ahead == 0 || (ahead == 1 && W.BallPos.z > W.GainLineZ + 20.0)) {
      E->chasertimer = ToF32(kEdgeChaseTime);
      E->ChaseTarget = R.Id;
    }
  }
  if (TPlayer* S = PlayerAt(D, D.SelectedPlayer); S != nullptr && S->PerceivedLineBreak != 0) {
    S->chasertimer = ToF32(kSelectedChaseTime);
    S->ChaseTarget = R.Id;
  }
}

// Step 15: every presser chases for 5 s; a dropped one chases on briefly.
void FinishSelection(TWorld& W, const TRefRun& R) {
  TTeamBlock& D = W.Teams[2];
  D.ChaserCount = 0;
  if (!OpenPlay(W)) {
    for (int k = 1; k <= kMaxPressers; ++k) D.ChaserSlots[k] = D.PrevChaserSlots[k] = 0;
    for (int p = 1; p <= PlayerCount(W); ++p) D.Players[p].chasertimer = 0;
  }
  for (int k = 1; k <= kMaxPressers; ++k) {
    TPlayer* P = PlayerAt(D, D.ChaserSlots[k]);
    if (P == nullptr) continue;
    ++D.ChaserCount;
    P->chasertimer = ToF32(kPresserTime);
    P->ChaseTarget = R.Id;
  }
  const bool backwards = Running(W) && R.P->Velocity.z <= 0;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    if (!ArrHas(D.PrevChaserSlots, p) || Pressing(D, p)) continue;
    const double t = RandomRange(200, 501) / 1000.0 + (backwards ? kDroppedBackExtra : 0.0);
    D.Players[p].chasertimer = ToF32(t);
  }
}

}  // namespace

namespace defence {

TRefRun ReadReference(const TWorld& W) {
  const i32 ref = IsPlayer(W.Teams[2].BlockChaseTarget) ? W.Teams[2].BlockChaseTarget : 9;
  const TPlayer& R = W.Teams[1].Players[ref];
  double speed = TimeToCover(R.OldPos.x, R.OldPos.z, R.Pos.x, R.Pos.z, W.TimeStep);
  speed = std::max(std::min(speed, static_cast<double>(R.maxspeed)), kMinRefSpeed);
  return {&R, ref, speed, HeadingToPoint(R.OldPos.x, R.OldPos.z, R.Pos.x, R.Pos.z, ToF32(kRefHeadingDefault))};
}

void ChoosePressure(TWorld& W, const TRefRun& R) {
  TTeamBlock& D = W.Teams[2];
  RunChaseClocks(W, R);
  if (PressureTimer(W) <= 0) {
    D.PrevChaserSlots = D.ChaserSlots;
    for (int k = 1; k <= kMaxPressers; ++k) D.ChaserSlots[k] = 0;
    if (OpenPlay(W)) {
      FindTouchMeeting(W, R);
      CountPressWanted(W, R);
      if (D.PressWanted >= 1) {
        ListPressCandidates(W, R);
        PressFromRefSlots(W);
        KeepCommittedChaser(W, R);
        SwapBeatenPressers(W, R);
        if (D.ChaserCount == 0 && ChaserOrderCount(W) > 0) {
          D.ChaserSlots[1] = W.DefChaserOrder[1];
          CountPressers(D);
        }
      }
      BringInFullback(W, R);
      StandDownExtras(W, R);
      StepUpChasers(W, R);
    }
    FinishSelection(W, R);
  }
}

}  // namespace defence

void ChooseDefencePressure(TWorld& W) { ChoosePressure(W, ReadReference(W)); }
