// Stage 1 of the defence placement, organisation (DefenseUnit.h), and the
// step that runs the three stages.
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

constexpr int kFirstSlot = 100;           // the slot line starts here
constexpr double kCycleTime = 2.5;        // s, full re-plan
constexpr double kRuckCentreBand = 4.0;   // m, |MarkX| where the ruck count decides
constexpr double kRuckEdgeBand = 3.0;     // m inside a touchline: a lone attacker there
constexpr double kRuckTouchBand = 1.0;    // m inside a touchline: the side is forced
constexpr double kSetPieceReverseTime = 1.25;  // s
constexpr double kNearStyleBand = 4.7;    // m from the mark
constexpr u16 kEdgeRestStyle = 4;         // "breathingtired"
constexpr double kEdgeKey = 10000.0;      // m, sort key of an edge defender
constexpr double kMarkAheadBand = 0.75;   // m ahead of the reference depth
constexpr double kSelectTimeStart = 10000.0;  // s
constexpr double kScrumHalfScale = 0.7;
constexpr double kFullbackScale = 1.5;

const char* const kNoReferenceLine = "turd in the punchbowl";

// Step 1: the attacker the defence is organised around; a missing one (or a
// number naming no record) is player 9.
void ChooseReferenceAttacker(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  D.DefPrevRefAttacker = D.BlockChaseTarget;
  i32 ref = Running(W) ? A.BallCarrier : Passing(W) ? A.PassReceiver : A.SetPieceHolder;
  const bool tackled = W.gamestate == gsGotTackled;
  bool log = false;
  if (!IsPlayer(ref)) {
    ref = 9;
    log = tackled;
  }
  const double x = A.Players[ref].Pos.x;
  if (tackled && (x < -W.PitchWidth / 2.0 || x > W.PitchWidth / 2.0)) log = true;
  D.BlockChaseTarget = ref;
  if (log) WriteRunLog(kNoReferenceLine);
}

// The ruck's count of attackers either side of the mark (gottackled with no
// attack side called).
void ApplyRuckSide(const TWorld& W, bool& toNegX) {
  const TTeamBlock& A = W.Teams[1];
  int left = 0, right = 0;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    const TPlayer& P = A.Players[p];
    if (p == A.SetPieceHolder || P.RuckTimer > 0) continue;
    if (P.Pos.x < W.MarkX) ++left;
    else ++right;
  }
  const double mark = W.MarkX;
  const double half = W.PitchWidth / 2.0;
  if (std::fabs(mark) < kRuckCentreBand) {
    if (left > right) toNegX = true;
    else if (right > left) toNegX = false;
  }
  if (!toNegX) {
    if (right == 0 || (right == 1 && mark > half - kRuckEdgeBand)) toNegX = true;
  } else {
    if (left == 0 || (left == 1 && mark < -half + kRuckEdgeBand)) toNegX = false;
  }
  if (mark < -half + kRuckTouchBand) toNegX = false;
  if (mark > half - kRuckTouchBand) toNegX = true;
}

// Step 2: which way the attack is expected to go.
void ChooseAttackSide(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  const i32 side = W.Teams[1].AttackSide;
  bool toNegX = D.DefAttackToNegX != 0;
  if (side == 1) {
    toNegX = true;
  } else if (side == 2) {
    toNegX = false;
  } else if (side == 0) {
    toNegX = W.BallPos.x < 0;
    if (W.gamestate == gsGotTackled) ApplyRuckSide(W, toNegX);
  }
  if (OpenPlay(W) && static_cast<double>(W.TimeSinceSetPiece) < kSetPieceReverseTime && W.FromSetPiece != 0) {
    toNegX = !(W.BallPos.x < 0);
  }
  D.DefAttackToNegX = toNegX ? kTrue32 : kFalse32;
}

// Step 3: the 2.5 s cycle and the three clocks.
void RunReplanClocks(TWorld& W) {
  if (W.DefenceCycleTimer <= 0) {
    W.DefenceCycleTimer = ToF32(kCycleTime);
    for (int k = 1; k <= 3; ++k) W.DefenceSubTimers[k] = 0;
  }
  for (int k = 1; k <= 3; ++k) W.DefenceSubTimers[k] = ToF32(static_cast<double>(W.DefenceSubTimers[k]) - W.TimeStep);
  const TTeamBlock& D = W.Teams[2];
  if (D.BlockChaseTarget != D.DefPrevRefAttacker) {
    MatchupTimer(W) = 0;
    PressureTimer(W) = 0;
  }
}

// Step 4: the rest styles round a breakdown.
void SetBreakdownStyles(TWorld& W) {
  if (W.gamestate != gsGotTackled || LineTimer(W) > 0) return;
  for (int b = 1; b <= 2; ++b) {
    for (int p = 1; p <= PlayerCount(W); ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      const bool far = std::fabs(static_cast<double>(P.Pos.x) - W.MarkX) >= kNearStyleBand;
      P.RestStyle = far ? P.RestStyleFar : P.RestStyleNear;
    }
  }
  TTeamBlock& D = W.Teams[2];
  for (i32 p : {static_cast<i32>(D.DeepPlayerNumber), static_cast<i32>(D.LeftEdgePlayer),
                static_cast<i32>(D.RightEdgePlayer)}) {
    if (TPlayer* P = PlayerAt(D, p)) P->RestStyle = kEdgeRestStyle;
  }
}

// Step 5: the fullback, or the cover player who takes his place once his
// drawn reaction time has passed.
void ChooseFullback(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  D.PrevFullback = static_cast<u16>(D.DeepPlayerNumber);
  if (W.FrameGameState != W.PrevFrameGameState) {
    D.FullbackCoverNeeded = kFalse32;
    if (W.gamestate == gsGotTackled) {
      const TPlayer& P = D.Players[15];
      if (P.RuckTimer <= 0 && P.RuckTimer2 <= 0 && P.TackleAttemptTimer <= 0 && P.GettingTackledTimer <= 0 &&
          P.OldTackleTimer <= 0) {
        D.DeepPlayerNumber = 15;
      } else {
        D.DeepPlayerNumber = 0;
        D.FullbackCoverNeeded = kTrue32;
      }
    } else if (W.gamestate == gsScrum || W.gamestate == gsKickRestartSet || W.gamestate == gsLineout) {
      D.DeepPlayerNumber = 15;
    }
    if (D.DeepPlayerNumber == 0 && D.FullbackCoverNeeded != 0) {
      D.FullbackCandidate = 0;
      for (int k = 1; k <= 10 && D.BackfieldOrder[k] != 0; ++k) {
        const TPlayer* P = PlayerAt(D, D.BackfieldOrder[k]);
        if (P != nullptr && IsFree(*P)) {
          D.FullbackCandidate = D.BackfieldOrder[k];
          break;
        }
      }
      if (D.FullbackCandidate != 0 && D.FullbackCandidate != D.PrevFullback) {
        D.FullbackCoverTimer = 0;
        TDistribution& t = D.Players[D.FullbackCandidate].DefenceTime;
        t.value = DrawDistribution(t);
      }
    }
  }
  const TPlayer* C = PlayerAt(D, D.FullbackCandidate);
  if (D.DeepPlayerNumber == 0 && C != nullptr && D.FullbackCoverTimer >= C->DefenceTime.value) {
    D.DeepPlayerNumber = static_cast<i16>(D.FullbackCandidate);
  }
}

// Step 6: the line, free defenders by ascending x with the edge defenders
// held at its ends.
void BuildDefenceLine(TWorld& W) {
  if (LineTimer(W) > 0) return;
  TTeamBlock& D = W.Teams[2];
  TPlayerList list = kEmptyPlayerList;
  Arr1<f32, 25> keys{};
  int n = 0;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    TPlayer& P = D.Players[p];
    P.SetPiecePlaced = kFalse32;
    const bool busy = P.TackleAttemptTimer > 0 && (!OpenPlay(W) || P.TackleAttemptKind == 3);
    if (P.standuptimer > 0 || P.OldTackleTimer > 0 || P.RuckTimer > 0 || P.GettingTackledTimer > 0 || busy ||
        p == D.SelectedPlayer || ArrHas(D.DefExtras, p) || p == D.DeepPlayerNumber) {
      continue;
    }
    P.SetPiecePlaced = kTrue32;
    list[++n] = static_cast<i16>(p);
    keys[n] = p == D.LeftEdgePlayer ? ToF32(-kEdgeKey) : p == D.RightEdgePlayer ? ToF32(kEdgeKey) : P.Pos.x;
  }
  D.FreeDefendersList = SortPlayersByKey(list, keys);
  D.FreeDefendersCount = n;
  if (n == 0) return;
  const i16 first = D.FreeDefendersList[1];
  const i16 last = D.FreeDefendersList[n];
  if (D.LeftEdgePlayer == 0 && first > 6) D.LeftEdgePlayer = first;
  if (D.RightEdgePlayer == 0 && last > 6) D.RightEdgePlayer = last;
}

// The attackers to mark: all free ones not clearly ahead of the reference
// depth, and the reference himself; by ascending x.
void ListAttackers(TWorld& W) {
  const TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  const i32 ref = D.BlockChaseTarget;
  const double depth = W.gamestate == gsGotTackled ? A.SetPieceLineZ : A.Players[ref].Pos.z;
  TPlayerList list = kEmptyPlayerList;
  Arr1<f32, 25> keys{};
  int n = 0;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    const TPlayer& P = A.Players[p];
    const double z = P.Pos.z;
    const bool ahead = z > depth + kMarkAheadBand && z + P.Velocity.z > depth;
    if (p != ref && (ahead || !IsFree(P))) continue;
    list[++n] = static_cast<i16>(p);
    keys[n] = P.Pos.x;
  }
  D.AttackBacksList = SortPlayersByKey(list, keys);
  D.AttackBacksCount = n;
  D.DefSlotCount = n;
}

// Spare defenders out of the line, at most five, nearest the reference in x
// first; in open play none from the far side of him.
bool TakeExtrasOut(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  const TTeamBlock& A = W.Teams[1];
  const double refX = A.Players[D.BlockChaseTarget].Pos.x;
  const bool toNegX = D.DefAttackToNegX != 0;
  int far = 1;
  for (int k = 1; k <= D.AttackBacksCount; ++k) {
    const double x = A.Players[D.AttackBacksList[k]].Pos.x;
    if (toNegX ? x < refX : x > refX) ++far;
  }
  bool taken = false;
  const int times = std::min(static_cast<int>(D.SurplusDefenders), kMaxExtras);
  for (int t = 1; t <= times; ++t) {
    const int slot = FirstEmpty(D.DefExtras);
    if (slot == 0) break;
    int best = 0;
    double bestGap = 0;
    for (int k = 1; k <= D.FreeDefendersCount; ++k) {
      const i16 p = D.FreeDefendersList[k];
      if (p == D.LeftEdgePlayer || p == D.RightEdgePlayer || !IsPlayer(p)) continue;
      const double x = D.Players[p].Pos.x;
      if (OpenPlay(W)) {
        if (toNegX && (x < refX || k <= far)) continue;
        if (!toNegX && (x > refX || k > D.FreeDefendersCount - far)) continue;
      }
      const double gap = std::fabs(x - refX);
      if (best == 0 || gap < bestGap) {
        best = k;
        bestGap = gap;
      }
    }
    if (best == 0) break;
    const i16 p = D.FreeDefendersList[best];
    D.DefExtras[slot] = p;
    D.FreeDefendersList = RemoveFromPlayerList(D.FreeDefendersList, p);
    --D.FreeDefendersCount;
    --D.SurplusDefenders;
    taken = true;
  }
  return taken;
}

// The extra who stands behind the ball: least time to it, scaled for the
// scrum-half (9) and the fullback (15).
void ChooseSelectedPlayer(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  if (D.SelectedPlayer != 0) return;
  double best = kSelectTimeStart;
  for (int k = 1; k <= kMaxExtras; ++k) {
    const TPlayer* P = PlayerAt(D, D.DefExtras[k]);
    if (P == nullptr || P->maxspeed <= 0) continue;  // he never arrives
    double t = Distance2D(W.BallPos.x, W.BallPos.z, P->Pos.x, P->Pos.z) / static_cast<double>(P->maxspeed);
    if (D.DefExtras[k] == 9) t *= kScrumHalfScale;
    if (D.DefExtras[k] == 15) t *= kFullbackScale;
    if (t < best) {
      best = t;
      D.SelectedPlayer = static_cast<u16>(D.DefExtras[k]);
    }
  }
}

// Extras back into the line while there are more attackers than defenders.
void ReturnExtras(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  const double refX = W.Teams[1].Players[D.BlockChaseTarget].Pos.x;
  const int times = -D.SurplusDefenders;
  for (int t = 1; t <= times; ++t) {
    int e = 0;
    double bestGap = 0;
    for (int k = 1; k <= kMaxExtras; ++k) {
      if (!IsPlayer(D.DefExtras[k])) continue;
      const double gap = std::fabs(static_cast<double>(D.Players[D.DefExtras[k]].Pos.x) - refX);
      if (e == 0 || gap < bestGap) {
        e = k;
        bestGap = gap;
      }
    }
    if (e == 0) break;
    const i16 p = static_cast<i16>(D.DefExtras[e]);
    TPlayer& P = D.Players[p];
    const int n = D.FreeDefendersCount;
    int at = 0;
    for (int k = 1; k <= n; ++k) {
      const i16 q = D.FreeDefendersList[k];
      if (IsPlayer(q) && D.Players[q].Pos.x > P.Pos.x) {
        at = k;
        break;
      }
    }
    if (at != 0) {
      if (D.FreeDefendersList[at] == D.LeftEdgePlayer) ++at;
      else if (D.FreeDefendersList[at] == D.RightEdgePlayer && at > 1) --at;
    } else {
      at = n + 1;
      if (at >= 3 && D.RightEdgePlayer != 0) at -= 2;
    }
    D.FreeDefendersList = InsertIntoPlayerList(p, at, D.FreeDefendersList);
    if (p != D.SelectedPlayer) {
      TDistribution& r = P.DefensiveRunningAngleReactionTime;
      const double drawn = DrawDistribution(r);
      r.value = ToF32(drawn + RandomRange(100, 501) / 1000.0);
    }
    D.DefExtras[e] = 0;
    D.FreeDefendersCount = PlayerListCount(D.FreeDefendersList);
    ++D.SurplusDefenders;
  }
}

// The spare defenders by ascending x, packed from entry 1.
void SortExtras(TTeamBlock& D) {
  Pack(D.DefExtras);
  const int n = ArrCount(D.DefExtras);
  auto x = [&D](i32 p) { return IsPlayer(p) ? D.Players[p].Pos.x : 0.0f; };
  for (int i = 2; i <= n; ++i) {
    const i32 p = D.DefExtras[i];
    int j = i - 1;
    while (j >= 1 && x(D.DefExtras[j]) > x(p)) {
      D.DefExtras[j + 1] = D.DefExtras[j];
      --j;
    }
    D.DefExtras[j + 1] = p;
  }
}

// The slot line from 100: one slot per attacker, the reference 1 + surplus.
void BuildSlotLine(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  for (int s = 1; s <= 201; ++s) W.DefSlotAttacker[s] = 0;
  D.DefSlotLow = kFirstSlot;
  D.DefSlotHigh = kFirstSlot + D.DefSlotCount - 1;
  int s = kFirstSlot;
  for (int k = 1; k <= D.AttackBacksCount; ++k) {
    const i16 p = D.AttackBacksList[k];
    const int slots = p == D.BlockChaseTarget ? 1 + D.SurplusDefenders : 1;
    if (p == D.BlockChaseTarget) D.DefRefSlotFirst = s;
    for (int i = 0; i < slots && s <= 201; ++i) W.DefSlotAttacker[s++] = static_cast<u16>(p);
    if (p == D.BlockChaseTarget) D.DefRefSlotLast = s - 1;
  }
}

// Step 7: attackers, surplus, extras and the slot line.
void MatchAttackers(TWorld& W) {
  if (MatchupTimer(W) > 0) return;
  TTeamBlock& D = W.Teams[2];
  LineTimer(W) = 0;
  ListAttackers(W);
  D.SurplusDefenders = D.FreeDefendersCount - D.DefSlotCount;
  bool taken = false;
  if (D.SurplusDefenders > 0) taken = TakeExtrasOut(W);
  ChooseSelectedPlayer(W);
  if (D.SurplusDefenders < 0) ReturnExtras(W);
  if (taken) SortExtras(D);
  if (D.SurplusDefenders < 0) D.SurplusDefenders = 0;
  D.DefSlotCount += D.SurplusDefenders;
  BuildSlotLine(W);
}

// Step 8: the slots the line defenders cover; with too few of them the
// window sits on the attack's side of the reference, and at a set piece it
// is drawn toward the middle.
void PlaceWindow(TWorld& W) {
  if (LineTimer(W) > 0) return;
  TTeamBlock& D = W.Teams[2];
  const int low = D.DefSlotLow, high = D.DefSlotHigh, count = D.FreeDefendersCount;
  int start = low, end = high;
  if (count < D.DefSlotCount) {
    const bool toNegX = D.DefAttackToNegX != 0;
    if (!toNegX) {
      start = std::min(high - count + 1, static_cast<int>(D.DefRefSlotLast));
      end = start + count - 1;
    } else {
      end = std::max(low + count - 1, static_cast<int>(D.DefRefSlotFirst));
      start = end - count + 1;
    }
    if (!OpenPlay(W) && D.DefSlotCount - count > 1) {
      const int gapLow = start - low, gapHigh = high - end;
      const int shift = RoundToI32((gapLow + gapHigh) / 2.0);
      if (!toNegX && gapHigh < gapLow) {
        const int m = std::min(shift, gapLow);
        start -= m;
        end -= m;
        if (start > D.DefRefSlotLast) {
          start = D.DefRefSlotLast;
          end = start + count - 1;
        }
      } else if (toNegX && gapLow < gapHigh) {
        const int m = std::min(shift, gapHigh);
        start += m;
        end += m;
        if (end < D.DefRefSlotFirst) {
          end = D.DefRefSlotFirst;
          start = end - count + 1;
        }
      }
    }
  }
  D.DefWindowStart = start;
  D.DefWindowEnd = end;
}

// Step 9: the window's slots, left to right, to the line defenders, left to
// right.
void AssignMatchups(TWorld& W) {
  if (LineTimer(W) > 0) return;
  TTeamBlock& D = W.Teams[2];
  for (int s = 1; s <= 201; ++s) W.DefSlotDefender[s] = 0;
  bool found = false;
  for (int s = std::max(1, static_cast<int>(D.DefWindowStart)); s <= std::min(201, static_cast<int>(D.DefWindowEnd));
       ++s) {
    const int k = s - D.DefWindowStart + 1;
    if (k <= D.FreeDefendersCount) W.DefSlotDefender[s] = static_cast<u16>(D.FreeDefendersList[k]);
    if (W.DefSlotAttacker[s] == D.BlockChaseTarget && D.BlockChaseTarget != 0) {
      if (!found) D.DefRefWindowFirst = s;
      D.DefRefWindowLast = s;
      found = true;
    }
  }
}

}  // namespace

void OrganiseDefence(TWorld& W) {
  ChooseReferenceAttacker(W);
  ChooseAttackSide(W);
  RunReplanClocks(W);
  SetBreakdownStyles(W);
  ChooseFullback(W);
  BuildDefenceLine(W);
  MatchAttackers(W);
  PlaceWindow(W);
  AssignMatchups(W);
}

void Defense(TWorld& W) {
  OrganiseDefence(W);
  // The pressure stage changes nothing the reference's run is read from (his
  // positions, top speed and the time step), so both stages share one read.
  const TRefRun R = ReadReference(W);
  ChoosePressure(W, R);
  PlaceAll(W, R);
  MarkClosingDefenders(W);
}
