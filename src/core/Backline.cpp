#include "core/Backline.h"

#include <algorithm>
#include <cmath>

#include "core/PlayerLists.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/SlotLines.h"

namespace {

// Lays `count` players out from slot 101 in direction dir (-1 towards
// slot 1, +1 towards slot 201) over `room` metres with first gap `gap`.
void SpreadSide(TSlotLine& out, int count, double room, double gap, int dir) {
  if (count <= 0) return;
  double step = count > 1 ? std::trunc((room - gap) / (count - 1)) : 1.0;
  step = std::clamp(step, 1.0, 8.0);
  const double step2 = std::clamp(step, 1.0, 4.0);
  // Room beyond the whole line changes nothing; capping it keeps the
  // conversion defined for a set piece far off the pitch.
  const int limit = kCentreSlot + dir * static_cast<int>(std::trunc(std::min(room, 1000.0)));
  int s = kCentreSlot;
  for (int k = 1; k <= count; ++k) {
    int next;
    if (k == 1) {
      next = s + dir * RoundToI32(gap);
    } else {
      next = s + dir * RoundToI32(step);
      if (k < count) {
        const int r = RandomRange(1, 1001);
        if ((k == 2 && r < 500) || (k >= 3 && r < 100)) next = s + dir * RoundToI32(step2);
      } else {
        // The last player goes as far out as the room allows.
        for (int j = 1; j <= 5; ++j) {
          const int cand = s + dir * RoundToI32(j + step);
          if (dir < 0 ? cand > limit : cand < limit) next = cand;
        }
      }
    }
    s = std::clamp(next, 1, kSlotCount);
    out[s] = 1;
  }
}

// The first gap from the centre: 7 m when the side has less than 15 m of
// room, shrunk when even that does not fit, never below 1 m.
double FitFirstGap(double g, double room) {
  if (room < 15) g = 7;
  if (g > room) g *= 0.55;
  if (g < 1) g = 1;
  return g;
}

}  // namespace

TSlotLine PlanBacklineSpacing(i32 Count, f32 X) {
  TSlotLine out = kEmptySlotLine;
  out[kCentreSlot] = 1;
  const int n = Count - 1;
  const double edgeL = -World.PitchWidth / 2.0 + 2.5;
  const double edgeR = World.PitchWidth / 2.0 - 2.5;
  const double roomL = X > edgeL ? X - edgeL : 0.0;
  const double roomR = X < edgeR ? edgeR - X : 0.0;
  double gL = RandomRange(10, 13);
  double gR = RandomRange(10, 13);
  gL = FitFirstGap(gL, roomL);
  gR = FitFirstGap(gR, roomR);
  if (n <= 0) return out;

  int nL = 0;
  if (roomL > 0) {
    const bool up = RandomRange(1, 1001) < 500;
    const double share = roomL / (roomL + roomR) * n;
    nL = static_cast<int>(up ? std::ceil(share) : std::trunc(share));
  }
  nL = std::min(nL, n);
  int nR = n - nL;
  if (nL == 0 && nR > 1 && roomL > gL) nL = 1, nR -= 1;
  if (nR == 0 && nL > 1 && roomR > gR) nR = 1, nL -= 1;
  if (nL >= 1 && roomL <= gL) nL = 0, nR = n;
  if (nR >= 1 && roomR <= gR) nR = 0, nL = n;

  SpreadSide(out, nL, roomL, gL, -1);
  SpreadSide(out, nR, roomR, gR, +1);
  return out;
}

namespace {

struct TBacklineWork {
  const TTeamBlock& B;
  TSlotLine out;
  TSlotLine marks;
  TPlayerList list;
  f32 xOff, zOff;
  double reach;  // how close (on both axes) a slot must be to a player

  double SlotX(int k) const { return static_cast<f32>(B.LineSlotPos[k].x + xOff); }
  double SlotZ(int k) const { return static_cast<f32>(B.LineSlotPos[k].z + zOff); }
  bool Open(int k) const { return k != kCentreSlot && marks[k] != 0; }
  bool Near(int k, const TPlayer& P) const {
    return std::fabs(SlotX(k) - P.Pos.x) < reach && std::fabs(SlotZ(k) - P.Pos.z) < reach;
  }
  void Place(int k, i16 w) {
    out[k] = w;
    marks[k] = 0;
    list = RemoveFromPlayerList(list, w);
  }
};

// A wing takes the first open slot near him from his own end of the line.
void PlaceWing(TBacklineWork& Wk, i16 w, i32 Feeder, const TPlayerList& Priority) {
  const TPlayer& P = Wk.B.Players[w];
  if (w == Feeder || !P.InBackline || !PlayerListHas(Wk.list, w) || PlayerListHas(Priority, w))
    return;
  const int from = w == 11 ? 1 : kSlotCount;
  const int dir = w == 11 ? +1 : -1;
  for (int k = from; k >= 1 && k <= kSlotCount; k += dir) {
    if (Wk.Open(k) && Wk.Near(k, P)) {
      Wk.Place(k, w);
      return;
    }
  }
}

// The first open slot beside the centre, searched up or down first.
int FindAnchor(const TBacklineWork& Wk) {
  const bool upFirst = RandomRange(1, 1001) < 500;
  auto search = [&](bool up) {
    for (int k = up ? kCentreSlot + 1 : kCentreSlot - 1; k >= 1 && k <= kSlotCount; k += up ? 1 : -1) {
      if (Wk.marks[k] != 0) return k;
    }
    return 0;
  };
  int a = search(upFirst);
  if (a == 0) a = search(!upFirst);
  return a != 0 ? a : kCentreSlot + 1;
}

// A priority player takes the open slot near him that is nearest to the
// anchor in x, preferring one on a randomly picked side of the centre.
void PlacePriority(TBacklineWork& Wk, i16 w, double ax) {
  const TPlayer& P = Wk.B.Players[w];
  const bool positive = RandomRange(1, 1001) < 500;
  double bestAny = 10000.0, bestSide = 10000.0;
  int any = 0, side = 0;
  for (int k = 1; k <= kSlotCount; ++k) {
    if (!Wk.Open(k) || !Wk.Near(k, P)) continue;
    const double d = std::fabs(Wk.SlotX(k) - ax);
    if (d < bestAny) bestAny = d, any = k;
    const f32 ox = Wk.B.LineSlotPos[k].x;
    if ((positive ? ox > 0 : ox < 0) && d < bestSide) bestSide = d, side = k;
  }
  const int k = side != 0 ? side : any;
  if (k != 0) Wk.Place(k, w);
}

}  // namespace

TSlotLine BuildBackline(const TTeamBlock& Block, TPlayerList List, TSlotLine Marks, i32 Feeder,
                        f32 XOffset, f32 ZOffset, bool32 WingsFirst, bool32 Tight,
                        const TPlayerList& Priority) {
  Arr1<f32, 25> keys{};
  for (int k = 1; k <= 25; ++k) {
    if (IsPlayer(List[k])) keys[k] = Block.Players[List[k]].Pos.x;
  }
  List = SortPlayersByKey(List, keys);
  if (PlayerListHas(List, static_cast<i16>(Feeder))) List = RemoveFromPlayerList(List, static_cast<i16>(Feeder));

  TBacklineWork Wk{Block, kEmptySlotLine, Marks, List, XOffset, ZOffset, Tight ? 15.0 : 1000.0};
  if (WingsFirst) {
    PlaceWing(Wk, 11, Feeder, Priority);
    PlaceWing(Wk, 14, Feeder, Priority);
  }
  if (WingsFirst && Priority[1] != 0) {
    const double ax = Wk.SlotX(FindAnchor(Wk));
    for (int i = 1; i <= 25 && Priority[i] != 0; ++i) {
      const i16 w = Priority[i];
      if (w == Feeder || !IsPlayer(w) || !Block.Players[w].InBackline || !PlayerListHas(Wk.list, w))
        continue;
      PlacePriority(Wk, w, ax);
    }
  }
  // The rest, in order of x, fill the remaining slots from slot 1.
  int i = 1;
  for (int k = 1; k <= kSlotCount && i <= 25 && Wk.list[i] != 0; ++k) {
    if (Wk.Open(k)) Wk.out[k] = Wk.list[i++];
  }
  return Wk.out;
}
