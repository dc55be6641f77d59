#include "core/ScrumSetup.h"

#include <algorithm>

#include "core/Backline.h"
#include "core/PlayerLists.h"
#include "core/Random.h"
#include "core/SlotLines.h"
#include "core/SupportSpot.h"

namespace {

bool Unbound(const TPlayer& P) { return P.RuckTimer <= 0; }

// Returns the line built, as the set-piece line now holds it.
TSlotLine PlaceAttackingBackline(TWorld& W, int team) {
  TTeamBlock& A = W.Teams[1];
  TPlayerList list = kEmptyPlayerList;
  int n = 0;
  for (int p = 1; p <= team; ++p) {
    if (A.Players[p].InBackline && Unbound(A.Players[p])) list[++n] = static_cast<i16>(p);
  }
  W.ScratchPlayerList = list;
  TSlotLine line = PlanBacklineSpacing(n, W.MarkX);
  W.ScratchPriorityList = kEmptyPlayerList;
  W.ScratchPriorityList[1] = 10;
  W.ScratchPriorityList[2] = 12;
  W.ScratchPriorityList[3] = 13;
  W.ScratchPriorityList[4] = 15;
  line = BuildBackline(A, W.ScratchPlayerList, line, A.SetPieceHolder, W.MarkX, W.MarkZ, kFalse32,
                       kTrue32, W.ScratchPriorityList);
  // The whole built line replaces the set-piece line, centre slot included:
  // the backline never fills slot 101, so the scrum-half (placed at the
  // scrum by its handler) ends up off the line, as at a ruck or lineout.
  for (int k = 1; k <= kSlotCount; ++k) {
    W.ScratchLine[k] = static_cast<u16>(line[k]);
    A.SetPieceLine[k] = line[k];
  }
  return line;
}

// The grid of support cells 1 m apart, rows running back from the mark.
void LayOutSupportGrid(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  const int side = SupportGridSide(A);
  ClearSupportGridCells(A);
  SetSupportGridOrigin(A, static_cast<f32>(-side / 2.0 + 0.5 + W.MarkX), static_cast<f32>(W.MarkZ - 0.5 - 2.5));
}

void ResetDefence(TTeamBlock& D, int team) {
  D.SetPieceWorkList = kEmptyPlayerList;
  D.SetPieceWorkCount = 0;
  D.DefenceLine = kEmptySlotLine;
  D.DefenceLine[kCentreSlot] = static_cast<i16>(D.SetPieceHolder);
  for (int p = 1; p <= team; ++p) {
    const auto& bound = D.PackSpots.OccupantB;
    const bool inPack = std::find(bound.begin(), bound.end(), p) != bound.end();
    const bool placed = inPack || p == D.SetPieceHolder || p == D.DeepPlayerNumber;
    D.Players[p].SetPiecePlaced = Flag(placed);
  }
}

}  // namespace

void SetupScrumPlay(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  const int team = PlayerCount(W);

  for (int p = 1; p <= 15; ++p) {
    if (Unbound(A.Players[p])) A.Players[p].InBackline = kTrue32;
  }
  for (int k = 1; k <= kSlotCount; ++k) A.SetPieceLine[k] = 0;
  A.SetPieceLine[kCentreSlot] = A.SetPieceHolder;
  for (int k = 1; k <= kSlotCount; ++k) {
    A.SetPieceSlotPos[k] = {static_cast<f32>(W.MarkX + static_cast<double>(A.LineSlotPos[k].x)),
                            static_cast<f32>(W.MarkZ + static_cast<double>(A.LineSlotPos[k].z))};
  }
  const TSlotLine attackLine = PlaceAttackingBackline(W, team);

  LayOutSupportGrid(W);
  for (int p = 1; p <= team; ++p) {
    const TPlayer& P = A.Players[p];
    if (p == A.BallCarrier || P.InBackline || !Unbound(P)) continue;
    PlaceOnWeightedCell(A, static_cast<i16>(p), A.SupportGridWeights);
  }

  ResetDefence(D, team);
  TPlayerList backs = kEmptyPlayerList;
  int nBacks = 0;
  for (int p = 1; p <= team; ++p) {
    const TPlayer& P = A.Players[p];
    if (Unbound(P) && P.InBackline && p != A.SetPieceHolder) backs[++nBacks] = static_cast<i16>(p);
    W.ScratchPositions[p] = {P.Pos.x, P.Pos.z};
  }
  D.AttackBacksList = backs;
  LineUpDefenceAgainst(W, attackLine, W.MarkX);
}

void LineUpDefenceAgainst(TWorld& W, const TSlotLine& AttackLine, f32 RefX) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  const int team = PlayerCount(W);
  int nBacks = 0;
  for (int k = 1; k <= 25 && D.AttackBacksList[k] != 0; ++k) ++nBacks;
  // The attacking backs' line as the defenders will mirror it, with a
  // reserved slot for each spare defender.
  D.MarkedLine = RebuildLine(A.SetPieceSlotPos, AttackLine, D.AttackBacksList, W.ScratchPositions);
  int freeDefenders = 0;
  for (int p = 1; p <= team; ++p) freeDefenders += D.Players[p].SetPiecePlaced == 0;
  D.FreeDefendersCount = freeDefenders;
  D.AttackBacksCount = nBacks;
  D.SurplusDefenders = D.FreeDefendersCount - D.AttackBacksCount;
  if (D.SurplusDefenders > 0) {
    D.MarkedLine = MarkSlotsInRange(A.SetPieceSlotPos, RefX, D.SurplusDefenders, kTrue32,
                                    kTrue32, D.MarkedLine);
  }
  D.FreeDefendersList = ListPlayersByX(D);
  for (int i = 1; i <= 25 && D.FreeDefendersList[i] != 0; ++i) {
    D.Players[D.FreeDefendersList[i]].SetPiecePlaced = kTrue32;
  }
  D.DefenceFillFromFront = Flag(RefX <= 0);
  D.DefenceLine = FillSlotsWithPlayers(D.MarkedLine, D.FreeDefendersList, D.DefenceFillFromFront);
}
