#include "core/SlotLines.h"

#include <algorithm>
#include <cmath>

#include "core/PlayerLists.h"
#include "core/Random.h"
#include "core/Rounding.h"

namespace {

// The slots inside the touchlines (0.25 m in from each): first..last, both
// 0 when there are none.
struct TInside {
  int first = 0, last = 0;
  bool Any() const { return first != 0 && last != 0 && first <= last; }
  bool Holds(int k) const { return k >= first && k <= last; }
};

TInside SlotsInside(const TSlotPositions& Slots) {
  const double edge = World.PitchWidth / 2.0 - 0.25;
  TInside in;
  for (int k = 1; k <= kSlotCount && in.first == 0; ++k) {
    if (Slots[k].x > -edge) in.first = k;
  }
  for (int k = kSlotCount; k >= 1 && in.last == 0; --k) {
    if (Slots[k].x < edge) in.last = k;
  }
  return in;
}

// The free slot among lo..hi whose x is nearest to x (the first of equals);
// 0 when none is free.
int NearestFreeSlot(const TSlotPositions& Slots, const TSlotLine& Line, int lo, int hi, double x) {
  double best = 100000.0;
  int slot = 0;
  for (int k = lo; k <= hi; ++k) {
    if (Line[k] != 0) continue;
    const double d = std::fabs(Slots[k].x - x);
    if (d < best) {
      best = d;
      slot = k;
    }
  }
  return slot;
}

// The first free slot from s stepping by dir while within lo..hi; 0 if none.
int FirstFree(const TSlotLine& Line, int s, int dir, int lo, int hi) {
  for (int k = s; k >= lo && k <= hi; k += dir) {
    if (Line[k] == 0) return k;
  }
  return 0;
}

// One try of MarkSlotsInRange on one side; true when a mark was placed.
bool MarkOneSide(TSlotLine& Line, bool lower, int lo, int hi, const TInside& in) {
  if (lower) {
    const int s = RandomRange(lo - 3, lo + 1);
    if (s < 1) return false;
    const int k = FirstFree(Line, std::min(s, kSlotCount), -1, in.first, kSlotCount);
    if (k == 0) return false;
    Line[k] = kSlotMark;
    return true;
  }
  const int s = RandomRange(hi, hi + 4);
  if (s > kSlotCount) return false;
  const int k = FirstFree(Line, std::max(s, 1), +1, 1, in.last);
  if (k == 0) return false;
  Line[k] = kSlotMark;
  return true;
}

}  // namespace

TSlotLine PlaceAtRandomSlot(const TSlotPositions& Slots, i16 Id, TSlotLine Line) {
  const TInside in = SlotsInside(Slots);
  if (!in.Any()) return Line;
  const int s = RandomRange(in.first, in.last + 1);
  const bool downFirst = RandomRange(1, 1001) < 501;
  int k = FirstFree(Line, s, downFirst ? -1 : +1, in.first, in.last);
  if (k == 0) k = FirstFree(Line, s, downFirst ? +1 : -1, in.first, in.last);
  if (k != 0) Line[k] = Id;
  return Line;
}

TSlotLine MarkRandomSlots(const TSlotPositions& Slots, i32 Count, TSlotLine Line) {
  const TInside in = SlotsInside(Slots);
  if (!in.Any()) return Line;
  for (int m = 0; m < Count; ++m) {
    for (int t = 0; t < 11; ++t) {
      const int s = RandomRange(in.first, in.last + 1);
      if (Line[s] == 0) {
        Line[s] = kSlotMark;
        break;
      }
    }
  }
  return Line;
}

TSlotLine MarkSlotsInRange(const TSlotPositions& Slots, f32 X, i32 Count, bool32 PairFirst,
                           bool32 ByPosition, TSlotLine Line) {
  const TInside in = SlotsInside(Slots);
  if (!in.Any()) return Line;
  // The slots just inside 2.5 m either side of X (the end slots when X lies
  // beyond the line).
  int lo = kSlotCount, hi = 1;
  for (int k = 1; k <= kSlotCount; ++k) {
    if (Slots[k].x > X - 2.5) {
      lo = k;
      break;
    }
  }
  for (int k = kSlotCount; k >= 1; --k) {
    if (Slots[k].x < X + 2.5) {
      hi = k;
      break;
    }
  }
  auto markIfFree = [&](int k) {
    if (Line[k] != 0) return;
    Line[k] = kSlotMark;
    --Count;
  };
  if (PairFirst) {
    if (Count >= 2) {
      markIfFree(lo);
      markIfFree(hi);
    } else if (Count == 1) {
      markIfFree(RandomRange(1, 1001) <= 500 ? lo : hi);
    }
  }
  int p = 500;
  if (ByPosition) {
    const double w = World.PitchWidth;
    // Never a bare cast: a mark far off the pitch must not raise a
    // floating-point error in the conversion.
    p = RoundToI32(std::fabs(X + w / 2) / w * 1000);
  }
  for (int m = 0; m < Count; ++m) {
    const bool lowerFirst = RandomRange(1, 1001) <= p;
    if (!MarkOneSide(Line, lowerFirst, lo, hi, in)) MarkOneSide(Line, !lowerFirst, lo, hi, in);
  }
  return Line;
}

TSlotLine ClearSlotMarks(i32 Expected, TSlotLine Line) {
  int n = 0;
  for (i16 v : Line.Slots) n += v == kSlotMark;
  if (n == Expected) {
    for (i16& v : Line.Slots) {
      if (v == kSlotMark) v = 0;
    }
    return Line;
  }
  for (int remaining = n; remaining >= 1; --remaining) {
    const int r = remaining == 1 ? 1 : RandomRange(1, remaining + 1);
    int seen = 0;
    for (int k = 1; k <= kSlotCount; ++k) {
      if (Line[k] == kSlotMark && ++seen == r) {
        Line[k] = 0;
        break;
      }
    }
  }
  return Line;
}

TSlotLine ReserveNearestSlots(const TSlotPositions& Slots, const TPlayerList& Wanted,
                              TSlotLine Line) {
  const TInside in = SlotsInside(Slots);
  if (!in.Any()) return Line;
  for (int i = 1; i <= 25 && Wanted[i] != 0; ++i) {
    const int w = Wanted[i];
    if (w < 1 || w > kSlotCount) continue;  // not a slot number
    int k = w;
    if (Line[w] != 0 || !in.Holds(w)) k = NearestFreeSlot(Slots, Line, in.first, in.last, Slots[w].x);
    if (k != 0) Line[k] = kSlotMark;
  }
  return Line;
}

TSlotLine FillSlotsWithPlayers(const TSlotLine& Marks, const TPlayerList& List, bool32 FromFront) {
  TSlotLine out = kEmptySlotLine;
  const int n = PlayerListCount(List);
  if (FromFront) {
    int i = 1;
    for (int k = 1; k <= kSlotCount && i <= n; ++k) {
      if (Marks[k] != 0) out[k] = List[i++];
    }
  } else {
    int i = n;
    for (int k = kSlotCount; k >= 1 && i >= 1; --k) {
      if (Marks[k] != 0) out[k] = List[i--];
    }
  }
  return out;
}

TSlotLine RebuildLine(const TSlotPositions& Slots, const TSlotLine& Line, const TPlayerList& List,
                      const Arr1<TVector2, 25>& PlayerPositions) {
  const int team = PlayerCount(World);
  bool listed[26] = {};
  for (int i = 1, taken = 0; i <= 25 && List[i] != 0 && taken < team; ++i, ++taken) {
    if (List[i] >= 1 && List[i] <= 25) listed[List[i]] = true;
  }
  TSlotLine out = kEmptySlotLine;
  bool onLine[26] = {};
  for (int k = 1; k <= kSlotCount; ++k) {
    const int v = Line[k];
    if (v >= 1 && v <= 25 && listed[v]) {
      out[k] = Line[k];
      onLine[v] = true;
    }
  }
  const TInside in = SlotsInside(Slots);
  for (int p = 1; p <= team && in.Any(); ++p) {
    if (!listed[p] || onLine[p]) continue;
    const int k = NearestFreeSlot(Slots, out, in.first, in.last, PlayerPositions[p].x);
    if (k != 0) out[k] = static_cast<i16>(p);
  }
  return out;
}

TSlotLine RecentreLine(TSlotLine Line, i16 Id) {
  int c = 0;
  for (int k = 1; k <= kSlotCount && c == 0; ++k) {
    if (Line[k] == Id) c = k;
  }
  if (c == 0 || c == kCentreSlot) return Line;
  TSlotLine out = kEmptySlotLine;
  // What falls off one end goes back into the first free slots from that
  // end; marks move with the line like players.
  auto reinsert = [&out](i16 v, int from, int dir) {
    for (int k = from; k >= 1 && k <= kSlotCount; k += dir) {
      if (out[k] == 0) {
        out[k] = v;
        return;
      }
    }
  };
  if (c > kCentreSlot) {
    const int d = c - kCentreSlot;
    for (int s = 1; s <= kSlotCount - d; ++s) out[s] = Line[s + d];
    for (int s = 1; s <= d; ++s) {
      if (Line[s] != 0) reinsert(Line[s], 1, +1);
    }
  } else {
    const int d = kCentreSlot - c;
    for (int s = d + 1; s <= kSlotCount; ++s) out[s] = Line[s - d];
    for (int s = kSlotCount; s >= kSlotCount + 1 - d; --s) {
      if (Line[s] != 0) reinsert(Line[s], kSlotCount, -1);
    }
  }
  return out;
}

TSlotLine MovePlayerToNearestSlot(TSlotLine Line, const TSlotPositions& Slots, i16 Id, f32 X) {
  const TSlotLine before = Line;
  for (int k = 1; k <= kSlotCount; ++k) {
    if (Line[k] == Id) {
      Line[k] = 0;
      break;
    }
  }
  const int k = NearestFreeSlot(Slots, Line, 1, kSlotCount, X);
  if (k == 0) return before;  // a full line without him: nowhere to go
  Line[k] = Id;
  return Line;
}

TSlotLine SetPieceSlotLine(const TTeamBlock& Block) {
  TSlotLine line;
  for (int k = 1; k <= kSlotCount; ++k) line[k] = static_cast<i16>(Block.SetPieceLine[k]);
  return line;
}

void StoreSetPieceSlotLine(TTeamBlock& Block, const TSlotLine& Line) {
  for (int k = 1; k <= kSlotCount; ++k) Block.SetPieceLine[k] = Line[k];
}

int NearestFreeSetPieceSlot(const TTeamBlock& Block, double X) {
  constexpr double kSearchBound = 10000000.0;  // m
  constexpr double kCloseEnough = 0.5;         // m
  double best = kSearchBound;
  int slot = 0;
  for (int k = 1; k <= kSlotCount; ++k) {
    if (Block.SetPieceLine[k] != 0) continue;
    const double d = std::fabs(Block.SetPieceSlotPos[k].x - X);
    if (!(d < best)) continue;
    best = d;
    slot = k;
    if (best < kCloseEnough) break;
  }
  return slot;
}

TLineSpacing SpacingAlongLine(i32 Count, f32 Low, f32 High, f32 MinGap, f32 Wanted) {
  double wanted = Wanted;
  if (wanted > High) wanted = High;
  if (wanted < Low) wanted = Low;
  // One player (or none) needs no gap: he stands at Wanted.
  if (Count < 2) return {static_cast<f32>(wanted), MinGap};
  const double natural = (static_cast<double>(High) - Low) / (Count - 1);
  if (natural < MinGap) return {Low, static_cast<f32>(natural)};
  const double block = (Count - 1) * static_cast<double>(MinGap);
  double start = wanted - block / 2;
  if (start < Low) start = Low;
  if (start > High - block) start = High - block;
  return {static_cast<f32>(start), MinGap};
}
