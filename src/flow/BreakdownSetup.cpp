#include "flow/BreakdownSetup.h"

#include <cmath>

#include "core/Backline.h"
#include "core/Geometry.h"
#include "core/MoveBooks.h"
#include "core/OptionWeights.h"
#include "core/PlayerLists.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/ScrumSetup.h"
#include "core/SlotLines.h"
#include "core/StrategyShapes.h"
#include "core/SupportSpot.h"

namespace {

constexpr f32 kCommitRuckTime = 10.0f;    // s, RuckTimer of a player sent into the ruck
constexpr int kMaxCommitted = 6;
constexpr double kBindDepth = 0.4;        // m, the bound positions behind the mark
constexpr double kBindShift = 0.15;       // m, the pack's shift, drawn per breakdown
constexpr double kWaitBehindLine = 0.5;   // m, waiting spots behind the offside line
constexpr double kBehindLine = 0.25;      // m behind the offside line to bind at once
constexpr double kBindReachX = 3.0;       // m from the mark in x to bind at once
constexpr double kNearMark = 100000.0;    // m, start of the nearest-to-mark searches
constexpr double kScrumHalfReach = 10.0;  // m, player 9 is scrum-half within this
constexpr double kScrumHalfPace = 0.85;   // share of his top speed that gets him there
constexpr double kScrumHalfLead = 0.75;   // s before the ball is out
constexpr double kForwardSupportX = 20.0;  // m from the mark in x for a forward on a support cell
constexpr double kBackSupportX = 7.5;      // m for a back
constexpr i32 kForwardSupportRoll = 500;
constexpr i32 kBackSupportRoll = 100;
constexpr double kGridBehindMark = 3.0;   // m, first support row behind the mark
constexpr double kTouchMargin = 0.5;      // m inside touch for a support cell
constexpr double kListedAwayX = 2.5;      // m from the mark in x for a supporter the defence marks
constexpr int kScrumHalf = 9;
constexpr int kFullback = 15;

i32 Roll() { return RandomRange(1, 1001); }

bool OnField(const TWorld& W, i32 n) { return n >= 1 && n <= PlayerCount(W); }

// Not tackling, tackled, held in the ruck or on the ground: the five timers
// of the line and the defence lists.
bool FreeOfContact(const TPlayer& P) {
  return P.GettingTackledTimer <= 0 && P.RuckTimer <= 0 && P.RuckTimer2 <= 0 && P.OldTackleTimer <= 0 &&
         P.TackleAttemptTimer <= 0;
}
// ... and standing: the scrum-half's six.
bool FreeToFeed(const TPlayer& P) { return FreeOfContact(P) && P.standuptimer <= 0; }
// ... and not catching a loose ball: the seven of a ruck pick.
bool FreeToCommit(const TPlayer& P) { return FreeToFeed(P) && P.freeballcatchtimer <= 0; }

double DistanceToMark(const TWorld& W, const TPlayer& P) { return Distance2D(W.MarkX, W.MarkZ, P.Pos.x, P.Pos.z); }

// Per player, block 1's then block 2's: the rolls and draws of the resets.
void ResetPlayers(TWorld& W) {
  for (int i = 1; i <= PlayerCount(W); ++i) {
    for (int b = 1; b <= 2; ++b) W.Teams[b].Players[i].DeepFlag = Flag(Roll() < 500);
    for (int b = 1; b <= 2; ++b) {
      TPlayer& P = W.Teams[b].Players[i];
      P.SupportRunCall = 0;
      P.RuckMarking = 0;
      P.RuckMarkedRunner = 0;
      P.playertofollowtimer = 0;
      P.RuckReactionTime.value = DrawDistribution(P.RuckReactionTime);
    }
  }
  for (int i = 1; i <= PlayerCount(W); ++i) {
    for (int b = 1; b <= 2; ++b) {
      TPlayer& P = W.Teams[b].Players[i];
      const i32 r = RoundToI32(static_cast<double>(P.ArrivalTimeJitter) * 100.0);
      P.ArrivalTimeScale = static_cast<f32>(RandomRange(-r, r + 1) / 100.0);
    }
  }
}

void ResetBreakdownState(TWorld& W) {
  W.AttackingRuckPosted = 0;
  W.PossessionClock = 0;
  W.LastPasser = 0;
  W.PrevPasser = 0;
  W.CarrierBrace = 0;
  ChoosePlayOption(W, kTrue32, kTrue32);
  ResetPlayers(W);
  for (int b = 1; b <= 2; ++b) {
    W.Teams[b].LeftEdgePlayer = 0;
    W.Teams[b].RightEdgePlayer = 0;
  }
  if (W.LiveWorld != 0) {
    for (int t = 1; t <= 2; ++t) {
      MoveBooks[t].RuckSampled = 0;
      MoveBooks[t].HoldTimer = 0;
    }
  }
  W.TurnoverPending = 0;
  W.DefendersAloneTime = 0;
  W.DefendersAloneLimit = static_cast<f32>(RandomRange(400, 801) / 1000.0);
  TTeamBlock& A = W.Teams[1];
  A.RuckTime.value = DrawDistribution(A.RuckTime);
  W.RestartDelay = A.RuckTime.value;
  W.BreakdownClock = 0;
  A.HalfTimeAux = 0;
  for (int b = 1; b <= 2; ++b) {
    TTeamBlock& T = W.Teams[b];
    for (int i = 1; i <= PlayerCount(W); ++i) {
      T.Players[i].ActionSeq.seqON = 0;
      T.Players[i].OffsideMark = 0;
      T.Players[i].chasertimer = 0;
    }
    for (int k = 1; k <= 5; ++k) {
      T.ChaserSlots[k] = 0;
      T.PrevChaserSlots[k] = 0;
      T.DefExtras[k] = 0;
    }
    T.SelectedPlayer = 0;
  }
}

// The mark at the ball, and each side's offside line, waiting spots and
// bound positions from it (block 2 facing block 1 across the mark).
void LayOutRuck(TWorld& W) {
  W.RuckBindDepth = static_cast<f32>(kBindDepth);
  W.MarkX = W.BallPos.x;
  W.MarkZ = W.BallPos.z;
  W.RuckOriginX = W.MarkX;
  W.RuckOriginZ = W.MarkZ;
  W.PackAux = static_cast<f32>(Roll() <= 500 ? kBindShift : -kBindShift);
  W.PackVelocityZ = 0;
  W.PackMass = 0;
  for (int b = 1; b <= 2; ++b) {
    TTeamBlock& T = W.Teams[b];
    TSpotTable& S = T.PackSpots;
    const double dir = b == 1 ? -1.0 : 1.0;  // towards the side's own goal
    S.BoundCount = 0;
    S.Depth = W.RuckDepthUnit;
    T.SetPieceLineZ = static_cast<f32>(W.MarkZ + dir * S.Depth);
    for (int k = 1; k <= 10; ++k) {
      S.OccupantA[k] = 0;
      S.OccupantB[k] = 0;
      S.PosA[k] = {static_cast<f32>(static_cast<double>(W.MarkX) + S.OffsetA[k].x),
                   static_cast<f32>(T.SetPieceLineZ + dir * kWaitBehindLine + S.OffsetA[k].z)};
      double bindZ = W.MarkZ + dir * W.RuckBindDepth + S.OffsetB[k].z;
      if (k == 1 || k == 4 || k == 5 || k == 6 || k == 9 || k == 10) bindZ += W.PackAux;
      S.PosB[k] = {static_cast<f32>(static_cast<double>(W.MarkX) + S.OffsetB[k].x), static_cast<f32>(bindZ)};
    }
  }
}

// The ball's zone of the block's field strategy (catch-up half when the side
// is catching up), copied into FieldHalf; the defence reads it mirrored.
int BallZone(TWorld& W, int b) {
  const TFieldStrategy& F = FieldStrategyOfBlock(W, b);
  W.FieldHalf = W.Teams[b].CatchingUp != 0 ? F.CatchUp : F.Normal;
  const int zone = FindFieldZone(W.FieldHalf, Flag(b == 2), W.BallPos.x, W.BallPos.z);
  return zone >= 1 && zone <= 30 ? zone : 1;
}

// A drawn widening of the count: 1, else 2 or 3 on a first roll below
// Below, by a second roll below Second.
i32 DrawSpread(i32 Below, i32 Second) {
  if (!(Roll() < Below)) return 1;
  return Roll() < Second ? 2 : 3;
}

// Sends the block's nearest free player to the ruck: bound when behind the
// side's offside line and near the mark in x, else to the nearest waiting
// spot. The limited player (9 or 15) only on pick 1, backs on picks 1 to 3.
// False when nobody qualifies.
bool CommitNearest(TWorld& W, int b, int Pick, int Limited) {
  TTeamBlock& T = W.Teams[b];
  int best = 0;
  double bestDist = kNearMark;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    const TPlayer& P = T.Players[i];
    if (!FreeToCommit(P)) continue;
    if (i == Limited && Pick > 1) continue;
    if (i > kScrumHalf && Pick > 3) continue;
    const double d = DistanceToMark(W, P);
    if (d < bestDist) {
      bestDist = d;
      best = i;
    }
  }
  if (best == 0) return false;
  TPlayer& P = T.Players[best];
  T.RuckCommitCount += 1;
  P.RuckTimer = kCommitRuckTime;
  P.shimmytimer = 0;
  const double behind = b == 1 ? T.SetPieceLineZ - kBehindLine - P.Pos.z : P.Pos.z - (T.SetPieceLineZ + kBehindLine);
  if (behind >= 0 && std::fabs(static_cast<double>(P.Pos.x) - W.MarkX) <= kBindReachX) {
    P.RuckRole = 1.0f;
    T.PackSpots = ClaimNextFreeSpot(T.PackSpots, best, P.Pos.x, P.Pos.z);
  } else {
    P.RuckRole = 0.0f;
    T.PackSpots = ClaimNearestFreeSpot(T.PackSpots, best, P.Pos.x, P.Pos.z);
  }
  return true;
}

void CommitPlayers(TWorld& W, int b, int Limited) {
  TTeamBlock& T = W.Teams[b];
  T.RuckCommitCount = 0;
  for (int pick = 1; pick <= T.RuckCommitWanted; ++pick) {
    if (!CommitNearest(W, b, pick, Limited)) break;
  }
}

void CommitAttack(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  const int zone = BallZone(W, 1);
  const i32 n = RoundToI32(W.FieldHalf.RuckNumAttack[zone]) + 1;
  A.LineSpeedSetting = static_cast<i16>(RoundToI32(W.FieldHalf.LineSpeed[zone]));
  const i32 e = DrawSpread(250, 750);
  i32 wanted = RandomRange(n, n + e + 1);
  if (wanted < 1) wanted = 1;
  if (wanted > kMaxCommitted) wanted = kMaxCommitted;
  A.RuckCommitWanted = wanted;
  CommitPlayers(W, 1, kScrumHalf);
}

void CommitDefence(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  const int zone = BallZone(W, 2);
  i32 n = RoundToI32(W.FieldHalf.RuckNumDef[zone]);
  D.LineSpeedSetting = static_cast<i16>(RoundToI32(W.FieldHalf.LineSpeed[zone]));
  const i32 e = DrawSpread(200, 800);
  n = RandomRange(n, n + e + 1);
  if (n <= 0) n = Roll() < 800 ? 1 : 0;
  if (n > kMaxCommitted) n = kMaxCommitted;
  D.RuckCommitWanted = n;
  CommitPlayers(W, 2, kFullback);
  D.PressureTimerA = 0;
  D.PressureTimerB = 0;
}

// Player 9 when he is near enough, or fast enough to be there 0.75 s before
// the ball is out, and free; else the free attacker nearest the mark; 0
// when nobody is free.
void ChooseScrumHalf(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  A.SetPieceHolder = 0;
  if (OnField(W, kScrumHalf)) {
    const TPlayer& N = A.Players[kScrumHalf];
    const double d = DistanceToMark(W, N);
    const double pace = kScrumHalfPace * N.MaxSpeedNonFatigued;
    const bool inTime = pace > 0 && d / pace < W.RestartDelay - kScrumHalfLead;
    if ((d <= kScrumHalfReach || inTime) && FreeToFeed(N)) A.SetPieceHolder = kScrumHalf;
  }
  if (A.SetPieceHolder == 0) {
    double bestDist = kNearMark;
    for (int i = 1; i <= PlayerCount(W); ++i) {
      const TPlayer& P = A.Players[i];
      if (!FreeToFeed(P)) continue;
      const double d = DistanceToMark(W, P);
      if (d < bestDist) {
        bestDist = d;
        A.SetPieceHolder = i;
      }
    }
  }
  if (OnField(W, A.SetPieceHolder)) A.Players[A.SetPieceHolder].shimmytimer = 0;
}

// Each free attacker in the line (listed) or, on a roll, to a support cell.
void SortLineAndSupport(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  W.ScratchPlayerList = kEmptyPlayerList;
  int n = 0;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = A.Players[i];
    if (!FreeOfContact(P)) continue;
    bool inLine = true;
    if (i != A.SetPieceHolder) {
      const bool forward = i <= 8;
      const i32 roll = Roll();
      const double reach = forward ? kForwardSupportX : kBackSupportX;
      const i32 chance = forward ? kForwardSupportRoll : kBackSupportRoll;
      inLine = !(roll <= chance && std::fabs(static_cast<double>(P.Pos.x) - W.MarkX) <= reach);
    }
    P.InBackline = Flag(inLine);
    if (inLine) W.ScratchPlayerList[++n] = static_cast<i16>(i);
  }
}

void BuildAttackingLine(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  TSlotLine line = PlanBacklineSpacing(PlayerListCount(W.ScratchPlayerList), W.MarkX);
  W.ScratchPriorityList = kEmptyPlayerList;
  W.ScratchPriorityList[1] = 10;
  W.ScratchPriorityList[2] = 12;
  W.ScratchPriorityList[3] = 13;
  W.ScratchPriorityList[4] = 15;
  line = BuildBackline(A, W.ScratchPlayerList, line, A.SetPieceHolder, W.MarkX, W.MarkZ, kTrue32, kTrue32,
                       W.ScratchPriorityList);
  for (int k = 1; k <= kSlotCount; ++k) {
    W.ScratchLine[k] = static_cast<u16>(line[k]);
    A.SetPieceLine[k] = line[k];
  }
}

bool InsideTouch(const TWorld& W, double x) {
  const double edge = W.PitchWidth / 2.0 - kTouchMargin;
  return x > -edge && x < edge;
}

// A weighted draw over the free cells; only cells inside touch count on the
// walk, so it may end without one: then the first free in-bounds cell of
// positive weight, or none.
void ClaimSupportCell(TWorld& W, i16 p) {
  TTeamBlock& A = W.Teams[1];
  const int side = SupportGridSide(A);
  int64_t total = 0;
  for (int r = 1; r <= side; ++r) {
    for (int c = 1; c <= side; ++c) {
      if (A.SupportGridCells[r][c] == 0) total += A.SupportGridWeights[r][c];
    }
  }
  if (total > INT32_MAX - 1) total = INT32_MAX - 1;
  if (total < INT32_MIN) total = INT32_MIN;
  const int64_t draw = RandomRange(1, static_cast<i32>(total) + 1);
  int64_t sum = 0;
  for (int r = 1; r <= side; ++r) {
    for (int c = 1; c <= side; ++c) {
      if (A.SupportGridCells[r][c] != 0 || !InsideTouch(W, A.SupportGridSpots[r][c].x)) continue;
      sum += A.SupportGridWeights[r][c];
      if (sum >= draw) {
        A.SupportGridCells[r][c] = static_cast<u16>(p);
        return;
      }
    }
  }
  for (int r = 1; r <= side; ++r) {
    for (int c = 1; c <= side; ++c) {
      if (A.SupportGridCells[r][c] != 0 || A.SupportGridWeights[r][c] <= 0) continue;
      if (!InsideTouch(W, A.SupportGridSpots[r][c].x)) continue;
      A.SupportGridCells[r][c] = static_cast<u16>(p);
      return;
    }
  }
}

void PlaceSupporters(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  const int side = SupportGridSide(A);
  ClearSupportGridCells(A);
  for (int r = 1; r <= side; ++r) {
    for (int c = 1; c <= side; ++c) A.SupportGridWeights[r][c] = A.SupportGridWeightsAlt1[r][c];
  }
  SetSupportGridOrigin(A, static_cast<f32>(W.MarkX - A.SupportGridSize / 2.0),
                       static_cast<f32>(W.MarkZ - kGridBehindMark));
  for (int i = 1; i <= PlayerCount(W); ++i) {
    const TPlayer& P = A.Players[i];
    if (i == A.SetPieceHolder || P.InBackline != 0 || !FreeOfContact(P)) continue;
    ClaimSupportCell(W, static_cast<i16>(i));
  }
}

// Not held by a tackle or the ruck (the defence's four timers).
bool MarkableAttacker(const TPlayer& P) {
  return P.RuckTimer <= 0 && P.GettingTackledTimer <= 0 && P.OldTackleTimer <= 0 && P.TackleAttemptTimer <= 0;
}

// The side's ordered line: SetPieceSlotPos x from the mark, and each
// occupied slot in slot order with its player and x (at most 15).
void ListLine(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  TLineList& L = A.Line;
  L.Count = 0;
  for (int s = 1; s <= kSlotCount; ++s) {
    A.SetPieceSlotPos[s].x = static_cast<f32>(static_cast<double>(W.MarkX) + A.LineSlotPos[s].x);
    const i32 p = A.SetPieceLine[s];
    if (!OnField(W, p) || L.Count >= 15) continue;
    L.Count += 1;
    L.Ids[L.Count] = static_cast<i16>(p);
    L.Pos[L.Count] = A.SetPieceSlotPos[s].x;
  }
}

}  // namespace

void PlaceBreakdownAttack(TWorld& W) {
  SortLineAndSupport(W);
  BuildAttackingLine(W);
  PlaceSupporters(W);
}

void PlaceBreakdownDefence(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  const int team = PlayerCount(W);
  for (int i = 1; i <= team; ++i) {
    const TPlayer& P = D.Players[i];
    D.Players[i].SetPiecePlaced = Flag(!FreeOfContact(P));
  }
  D.AttackBacksList = kEmptyPlayerList;
  int n = 0;
  for (int pass = 1; pass <= 2; ++pass) {
    for (int i = 1; i <= team; ++i) {
      const TPlayer& P = A.Players[i];
      if (i == A.SetPieceHolder || !MarkableAttacker(P)) continue;
      const bool wanted = pass == 1 ? P.InBackline != 0
                                    : P.InBackline == 0 && std::fabs(static_cast<double>(P.Pos.x) - W.MarkX) > kListedAwayX;
      if (wanted) D.AttackBacksList[++n] = static_cast<i16>(i);
    }
  }
  TSlotLine line = kEmptySlotLine;
  for (int i = 1; i <= team; ++i) W.ScratchPositions[i] = {A.Players[i].Pos.x, A.Players[i].Pos.z};
  for (int k = 1; k <= kSlotCount; ++k) {
    W.ScratchLine[k] = static_cast<u16>(A.SetPieceLine[k]);
    line[k] = static_cast<i16>(A.SetPieceLine[k]);
  }
  LineUpDefenceAgainst(W, line, W.MarkX);
  ListLine(W);
}

void LayOutBreakdownLines(TWorld& W) {
  PlaceBreakdownAttack(W);
  PlaceBreakdownDefence(W);
}

void SetUpBreakdown(TWorld& W) {
  ResetBreakdownState(W);
  LayOutRuck(W);
  CommitAttack(W);
  ChooseScrumHalf(W);
  PlaceBreakdownAttack(W);
  CommitDefence(W);
  PlaceBreakdownDefence(W);
}
