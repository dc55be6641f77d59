// Slot lines: 201 numbered slots across the pitch (slot 101 the centre) on
// which the set-piece handlers lay players out. A slot holds 0 (free), 100
// (reserved, "the mark") or a player number. The positions of the slots
// come with each call; only their x is read, and x grows with the slot
// number. Every operation takes the line by value and returns a new one.
#pragma once

#include "core/TypeDefs.h"

constexpr int kSlotCount = 201;
constexpr int kCentreSlot = 101;
constexpr i16 kSlotMark = 100;

using TSlotPositions = Arr1<TVector2, kSlotCount>;

// All 201 slots free.
inline constexpr TSlotLine kEmptySlotLine{};

// Puts Id into a free slot near a random slot inside the touchlines.
TSlotLine PlaceAtRandomSlot(const TSlotPositions& Slots, i16 Id, TSlotLine Line);

// Reserves up to Count free slots at random inside the touchlines.
TSlotLine MarkRandomSlots(const TSlotPositions& Slots, i32 Count, TSlotLine Line);

// Reserves up to Count free slots near x = X, spread to either side.
TSlotLine MarkSlotsInRange(const TSlotPositions& Slots, f32 X, i32 Count, bool32 PairFirst,
                           bool32 ByPosition, TSlotLine Line);

// Removes every mark (all at once when there are Expected of them, else one
// at a time in random order).
TSlotLine ClearSlotMarks(i32 Expected, TSlotLine Line);

// Reserves each slot number of Wanted (or the free slot nearest to it).
TSlotLine ReserveNearestSlots(const TSlotPositions& Slots, const TPlayerList& Wanted,
                              TSlotLine Line);

// The entries of List written into the non-zero slots of Marks, from slot 1
// up (FromFront) or from slot 201 down with the list taken from its end.
TSlotLine FillSlotsWithPlayers(const TSlotLine& Marks, const TPlayerList& List, bool32 FromFront);

// The line for the players of List: those already on Line keep their slots,
// the others go to the free slot nearest to their own x.
TSlotLine RebuildLine(const TSlotPositions& Slots, const TSlotLine& Line, const TPlayerList& List,
                      const Arr1<TVector2, 25>& PlayerPositions);

// Shifts the line so that Id stands in slot 101; what falls off one end is
// put back into the first free slots from that end. A line without Id
// comes back unchanged.
TSlotLine RecentreLine(TSlotLine Line, i16 Id);

// Id moves to the free slot whose x is nearest to X.
TSlotLine MovePlayerToNearestSlot(TSlotLine Line, const TSlotPositions& Slots, i16 Id, f32 X);

// A block's set-piece line (SetPieceLine, 32-bit slots) as a TSlotLine, and
// back.
TSlotLine SetPieceSlotLine(const TTeamBlock& Block);
void StoreSetPieceSlotLine(TTeamBlock& Block, const TSlotLine& Line);

// The free slot of a block's set-piece line (SetPieceLine, positions in
// SetPieceSlotPos) whose x is nearest to X: slots 1..201 in order from a
// bound of 1e7 m, a slot taken only when strictly nearer, the search ending
// at the first slot within 0.5 m. 0 when no slot is free.
int NearestFreeSetPieceSlot(const TTeamBlock& Block, double X);

struct TLineSpacing {
  f32 Start;
  f32 Gap;
};

// Where the first of Count players stands and how far apart they stand to
// spread over Low..High around Wanted, at least MinGap apart when they fit.
TLineSpacing SpacingAlongLine(i32 Count, f32 Low, f32 High, f32 MinGap, f32 Wanted);
