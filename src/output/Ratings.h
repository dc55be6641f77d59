// The opening steps of the statistics pages after the match: the run's date,
// every squad player's position rating (how well his "players.csv" ratings
// fit the position of his squad slot, against an ideal player) and each
// side's team rating; and the score of one player's match figures that the
// player statistics file turns into his performance ratings.
#pragma once

#include "core/Arrays.h"
#include "core/MatchStats.h"
#include "output/MatchSummary.h"

// Fields of TPlayerStats that a position rating weighs: height to leadership
// in record order, then ExtraValue1 and ExtraValue2.
constexpr int kRatedFields = 31;
// Squad slots with a position: 1..15 the starters by shirt number, 16..22
// the replacements (rated as the position each row copies).
constexpr int kRatedSlots = 22;

// One row of weights per squad slot, one weight per rated field.
using TPositionWeights = Arr1<Arr1<f32, kRatedFields>, kRatedSlots>;

// The ideal player into a record that arrives zeroed: age 1, height 220 cm,
// width 1, weight 120 kg, every rating from speed to leadership 99,
// ExtraValue1 and ExtraValue2 1.
void InitRatingWeights(TPlayerStats& Reference);

// The weights by slot: rows 1..15 as set, 16..22 copies of rows 1, 2, 4, 8,
// 10, 12 and 15; width, discipline, agility, form, injury, bodyfat,
// leadership and the extra values weigh 0 everywhere.
void InitRatingTable(TPositionWeights& Table);

// The player's weighted sum against the reference's, each with the slot's
// adjustments (low speed or tackling, light props, short locks, ...) applied
// as 32-bit floats: 0..100, rounded half to even, more than 100 becomes 100.
// Slot 1..22.
i16 PlayerPositionRating(int Slot, const TPlayerStats& Player, const TPlayerStats& Reference,
                         const TPositionWeights& Table);

// The weighted sum of a player's match counts as a 32-bit float: + 2.0 for a
// front-row slot (1..3) with no scrum penalty either way; never below 0.
f32 RatingWeightedSum(const TPlayerSummary& Summary);

// MatchDay, MatchMonth, MatchYear of MatchSummary from the local date.
void SetMatchDate();

// The ratings before the player pass: BestPlayerSlot := (1, 1); the
// PositionRating of slots 1..22 of both teams (empty slots too) from
// MatchStats.PlayerStats; TeamRating[t] := the rounded mean over slots
// 1..PlayersPerTeam of World, summed in 16 bits.
void RateSquads();
