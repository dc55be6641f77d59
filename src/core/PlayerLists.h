// Small ordered lists of players and tables of numbered spots, passed and
// returned by value by the set-piece, restart, defence and support handlers.
#pragma once

#include "core/TypeDefs.h"

// All 25 places empty.
inline constexpr TPlayerList kEmptyPlayerList{};

// Entries before the first empty place.
int PlayerListCount(const TPlayerList& List);
bool PlayerListHas(const TPlayerList& List, i16 Id);

// The entries of the (packed) list in ascending order of Keys[k], the key of
// place k; equal keys keep their order.
TPlayerList SortPlayersByKey(const TPlayerList& List, const Arr1<f32, 25>& Keys);

// Players 1..PlayerCount(W) of block Block (1 or 2) by ascending Pos.x, equal
// x in number order, into its FreeDefendersList (DefLine); the world's
// ScratchPlayerList and ScratchPlayerKeys are left holding the numbers and
// their x.
void SortDefLineByX(TWorld& W, int Block);

// Players 1..PlayersPerTeam of the block not yet given a set-piece place
// (SetPiecePlaced clear), as player numbers in ascending order of x.
TPlayerList ListPlayersByX(const TTeamBlock& Block);

// The list without the first Id among places 1..PlayersPerTeam.
TPlayerList RemoveFromPlayerList(TPlayerList List, i16 Id);

// Id inserted at Position (1..25); the entries from there up to the first
// empty place move one place back, and one pushed past place 25 is dropped.
TPlayerList InsertIntoPlayerList(i16 Id, i32 Position, TPlayerList List);

// The number 1..Count of the smallest (with Largest, the largest) of
// Values[0..Count-1] (value k at index k-1) whose number is not among
// Exclusions[0..Count-1]; the first of equal values; 0 when none qualifies.
i32 BestUnusedIndex(const f32* Values, const i16* Exclusions, i32 Count, bool32 Largest);

// Id takes the free spot of group A nearest to (X, Z).
TSpotTable ClaimNearestFreeSpot(TSpotTable Table, i32 Id, f32 X, f32 Z);

// Id takes the first free spot of group B (or the spot after it, when that
// one is free too and nearer to (X, Z), for the pairs 2-3, 4-5, 7-8, 9-10).
TSpotTable ClaimNextFreeSpot(TSpotTable Table, i32 Id, f32 X, f32 Z);

// Moves one player of group B, chosen at random, forward into front spot 2
// or 3; Id (a player leaving the table) is not chosen.
TSpotTable RefillFrontSpot(TSpotTable Table, i32 Id);
