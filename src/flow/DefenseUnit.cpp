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

namespace {

constexpr int kMaxExtras = 5;
constexpr int kMaxPressers = 5;
constexpr int kFirstSlot = 100;           // the slot line starts here
constexpr int kLineTimer = 1;             // DefenceSubTimers: line,
constexpr int kMatchupTimer = 2;          // matchups
constexpr int kPressureTimer = 3;         // and pressure
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
constexpr double kMinRefSpeed = 0.1;      // m/s
constexpr double kRefHeadingDefault = 90.0;  // degrees
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

const char* const kNoReferenceLine = "turd in the punchbowl";

bool Running(const TWorld& W) { return W.gamestate == gsRunning; }
bool Passing(const TWorld& W) { return W.gamestate == gsPassing; }
bool OpenPlay(const TWorld& W) { return Running(W) || Passing(W); }
bool SetPieceState(TGameState s) { return s == gsGotTackled || s == gsScrum || s == gsLineout; }

f32& LineTimer(TWorld& W) { return W.DefenceSubTimers[kLineTimer]; }
f32& MatchupTimer(TWorld& W) { return W.DefenceSubTimers[kMatchupTimer]; }
f32& PressureTimer(TWorld& W) { return W.DefenceSubTimers[kPressureTimer]; }

// All six busy timers at or below 0.
bool IsFree(const TPlayer& P) {
  return P.RuckTimer <= 0 && P.RuckTimer2 <= 0 && P.TackleAttemptTimer <= 0 && P.GettingTackledTimer <= 0 &&
         P.OldTackleTimer <= 0 && P.standuptimer <= 0;
}

template <class T, int N>
bool ArrHas(const Arr1<T, N>& A, i32 Id) {
  for (int k = 1; k <= N; ++k) {
    if (A[k] != 0 && A[k] == Id) return true;
  }
  return false;
}

template <class T, int N>
int ArrCount(const Arr1<T, N>& A) {
  int n = 0;
  for (int k = 1; k <= N; ++k) n += A[k] != 0;
  return n;
}

// The first empty entry, 0 when full.
template <class T, int N>
int FirstEmpty(const Arr1<T, N>& A) {
  for (int k = 1; k <= N; ++k) {
    if (A[k] == 0) return k;
  }
  return 0;
}

// The non-empty entries moved to the front in their order.
template <class T, int N>
void Pack(Arr1<T, N>& A) {
  int n = 0;
  for (int k = 1; k <= N; ++k) {
    if (A[k] != 0) A[++n] = A[k];
  }
  for (int k = n + 1; k <= N; ++k) A[k] = 0;
}

// ---------------------------------------------------------------- organisation

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
  if (log && W.LiveWorld != 0) WriteRunLog(kNoReferenceLine);
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

// ---------------------------------------------------------------- pressure and chase

// How the reference attacker runs: his speed over the last frame (within
// 0.1 and his top speed), acceleration and heading.
struct TRefRun {
  const TPlayer* P;
  i32 Id;
  double Speed;  // m/s
  double Heading;  // degrees
};

TRefRun ReadReference(const TWorld& W) {
  const i32 ref = IsPlayer(W.Teams[2].BlockChaseTarget) ? W.Teams[2].BlockChaseTarget : 9;
  const TPlayer& R = W.Teams[1].Players[ref];
  double speed = TimeToCover(R.OldPos.x, R.OldPos.z, R.Pos.x, R.Pos.z, W.TimeStep);
  speed = std::max(std::min(speed, static_cast<double>(R.maxspeed)), kMinRefSpeed);
  return {&R, ref, speed, HeadingToPoint(R.OldPos.x, R.OldPos.z, R.Pos.x, R.Pos.z, ToF32(kRefHeadingDefault))};
}

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

// ---------------------------------------------------------------- positions

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

namespace {

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

}  // namespace

void ChooseDefencePressure(TWorld& W) { ChoosePressure(W, ReadReference(W)); }

void PlaceDefenders(TWorld& W) { PlaceAll(W, ReadReference(W)); }

void Defense(TWorld& W) {
  OrganiseDefence(W);
  // The pressure stage changes nothing the reference's run is read from (his
  // positions, top speed and the time step), so both stages share one read.
  const TRefRun R = ReadReference(W);
  ChoosePressure(W, R);
  PlaceAll(W, R);
  MarkClosingDefenders(W);
}
