#include "core/PlayerLists.h"

#include <algorithm>

#include "core/Geometry.h"
#include "core/Random.h"

// The set-piece handlers share the table as a record of 121 words.
static_assert(sizeof(TSpotTable) == 121 * 4);

namespace {

// Selection by ascending key among n candidates (first of equal keys wins).
// A key of 1,000,000 or more still takes its turn after the smaller ones,
// so no entry is ever lost.
template <class KeyOf>
void SelectAscending(int n, KeyOf key, Arr1<int, 25>& order) {
  bool taken[26] = {};
  for (int i = 1; i <= n; ++i) {
    int best = 0;
    for (int k = 1; k <= n; ++k) {
      if (taken[k]) continue;
      if (best == 0 || key(k) < key(best)) best = k;
    }
    taken[best] = true;
    order[i] = best;
  }
}

}  // namespace

int PlayerListCount(const TPlayerList& List) {
  int n = 0;
  while (n < 25 && List[n + 1] != 0) ++n;
  return n;
}

bool PlayerListHas(const TPlayerList& List, i16 Id) {
  for (int k = 1; k <= 25 && List[k] != 0; ++k) {
    if (List[k] == Id) return true;
  }
  return false;
}

TPlayerList SortPlayersByKey(const TPlayerList& List, const Arr1<f32, 25>& Keys) {
  int n = 0;
  for (i16 v : List.Items) n += v != 0;
  Arr1<int, 25> order{};
  SelectAscending(n, [&](int k) { return Keys[k]; }, order);
  TPlayerList out = kEmptyPlayerList;
  for (int i = 1; i <= n; ++i) out[i] = List[order[i]];
  return out;
}

void SortDefLineByX(TWorld& W, int Block) {
  TTeamBlock& B = W.Teams[Block];
  TPlayerList list = kEmptyPlayerList;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    list[i] = static_cast<i16>(i);
    W.ScratchPlayerKeys[i] = B.Players[i].Pos.x;
  }
  W.ScratchPlayerList = list;
  B.FreeDefendersList = SortPlayersByKey(W.ScratchPlayerList, W.ScratchPlayerKeys);
}

TPlayerList ListPlayersByX(const TTeamBlock& Block) {
  Arr1<i16, 25> cand{};
  int n = 0;
  for (int p = 1; p <= PlayerCount(World); ++p) {
    if (Block.Players[p].SetPiecePlaced == 0) cand[++n] = static_cast<i16>(p);
  }
  Arr1<int, 25> order{};
  SelectAscending(n, [&](int k) { return Block.Players[cand[k]].Pos.x; }, order);
  TPlayerList out = kEmptyPlayerList;
  for (int i = 1; i <= n; ++i) out[i] = cand[order[i]];
  return out;
}

TPlayerList RemoveFromPlayerList(TPlayerList List, i16 Id) {
  for (int k = 1; k <= PlayerCount(World); ++k) {
    if (List[k] != Id) continue;
    for (int j = k; j < 25; ++j) List[j] = List[j + 1];
    List[25] = 0;
    break;
  }
  return List;
}

TPlayerList InsertIntoPlayerList(i16 Id, i32 Position, TPlayerList List) {
  if (Position < 1 || Position > 25) return List;
  if (List[Position] != 0) {
    int e = Position + 1;  // the first empty place after Position, or 26
    while (e <= 25 && List[e] != 0) ++e;
    for (int j = std::min(e, 25); j > Position; --j) List[j] = List[j - 1];
  }
  List[Position] = Id;
  return List;
}

i32 BestUnusedIndex(const f32* Values, const i16* Exclusions, i32 Count, bool32 Largest) {
  f32 best = Largest ? 0.000000001f : 10000000.0f;
  i32 result = 0;
  for (i32 k = 1; k <= Count; ++k) {
    if (std::find(Exclusions, Exclusions + Count, k) != Exclusions + Count) continue;
    const f32 v = Values[k - 1];
    if (Largest ? v > best : v < best) {
      best = v;
      result = k;
    }
  }
  return result;
}

TSpotTable ClaimNearestFreeSpot(TSpotTable Table, i32 Id, f32 X, f32 Z) {
  f32 best = 100000.0f;
  int spot = 0;
  for (int k = 1; k <= 10; ++k) {
    if (Table.OccupantA[k] != 0) continue;
    const f32 d = Distance2D(Table.PosA[k].x, Table.PosA[k].z, X, Z);
    if (d < best) {
      best = d;
      spot = k;
    }
  }
  if (spot != 0) Table.OccupantA[spot] = Id;
  return Table;
}

TSpotTable ClaimNextFreeSpot(TSpotTable Table, i32 Id, f32 X, f32 Z) {
  int k = 1;
  while (k <= 10 && Table.OccupantB[k] != 0) ++k;
  if (k > 10) return Table;
  const bool pairStart = k == 2 || k == 4 || k == 7 || k == 9;
  if (pairStart && Table.OccupantB[k + 1] == 0) {
    // Of a free pair, the spot nearer to the player (the first on a tie).
    const f32 dk = Distance2D(Table.PosB[k].x, Table.PosB[k].z, X, Z);
    const f32 dn = Distance2D(Table.PosB[k + 1].x, Table.PosB[k + 1].z, X, Z);
    if (dn < dk) ++k;
  }
  Table.OccupantB[k] = Id;
  return Table;
}

TSpotTable RefillFrontSpot(TSpotTable Table, i32 Id) {
  auto& occ = Table.OccupantB;
  int j = 0;
  for (int k = 1; k <= 10 && Id != 0; ++k) {
    if (occ[k] == Id) {
      j = k;
      break;
    }
  }
  int cand[4];
  int n = 0;
  if (occ[4] != 0 && j != 4 && j != 6) cand[n++] = 4;
  if (occ[7] != 0 && j != 7) cand[n++] = 7;
  if (occ[5] != 0 && j != 5 && j != 6) cand[n++] = 5;
  if (occ[8] != 0 && j != 8) cand[n++] = 8;
  if (n == 0) return Table;
  switch (cand[RandomRange(1, n + 1) - 1]) {
    case 4: occ[2] = occ[4]; occ[4] = occ[6]; occ[6] = 0; break;
    case 7: occ[2] = occ[7]; occ[7] = 0; break;
    case 5: occ[3] = occ[5]; occ[5] = occ[6]; occ[6] = 0; break;
    case 8: occ[3] = occ[8]; occ[8] = 0; break;
  }
  return Table;
}
