#include "output/Ratings.h"

#include "core/Rounding.h"
#include "core/TypeDefs.h"
#include "platform/Platform.h"

namespace {

// The rated fields in record order.
constexpr f32 TPlayerStats::*kRatedField[kRatedFields] = {
    &TPlayerStats::height,        &TPlayerStats::width,       &TPlayerStats::weight,
    &TPlayerStats::speed,         &TPlayerStats::acceleration, &TPlayerStats::awareness,
    &TPlayerStats::discipline,    &TPlayerStats::fitness,     &TPlayerStats::tackling,
    &TPlayerStats::agility,       &TPlayerStats::elusiveness, &TPlayerStats::fend,
    &TPlayerStats::breaktackle,   &TPlayerStats::strength,    &TPlayerStats::handling,
    &TPlayerStats::highball,      &TPlayerStats::lineoutjumping, &TPlayerStats::lineoutthrow,
    &TPlayerStats::rucking,       &TPlayerStats::scrummaging, &TPlayerStats::form,
    &TPlayerStats::passing,       &TPlayerStats::kicking,     &TPlayerStats::goalkicking,
    &TPlayerStats::finesse,       &TPlayerStats::injury,      &TPlayerStats::offloads,
    &TPlayerStats::bodyfat,       &TPlayerStats::leadership,  &TPlayerStats::ExtraValue1,
    &TPlayerStats::ExtraValue2};

// The fields that carry a weight somewhere, as 1-based positions among the
// rated fields: height, weight, speed, acceleration, awareness, fitness,
// tackling, elusiveness, fend, breaktackle, strength, handling, highball,
// lineoutjumping, lineoutthrow, rucking, scrummaging, passing, kicking,
// goalkicking, finesse, offloads.
constexpr int kWeightedColumns = 22;
constexpr int kColumnField[kWeightedColumns] = {1,  3,  4,  5,  6,  8,  9,  11, 12, 13, 14,
                                                15, 16, 17, 18, 19, 20, 22, 23, 24, 25, 27};

// Weights of the starting slots 1..15 in the column order above.
constexpr float kStarterWeights[15][kWeightedColumns] = {
    {0.5f, 5, 2, 2.5f, 0.5f, 1, 2.5f, 0, 0.5f, 0.5f, 3, 0.5f, 0, 0, 0, 2.5f, 4.5f, 0.5f, 0, 0, 0, 0},
    {0.5f, 3.5f, 2.5f, 3, 0.5f, 1, 2.5f, 0, 0.75f, 0.75f, 3, 0.5f, 0, 0, 3.5f, 2.5f, 4.5f, 0.5f, 0, 0, 0, 0},
    {0.5f, 5, 2, 2.5f, 0.5f, 1, 2.5f, 0, 0.5f, 0.5f, 3, 0.5f, 0, 0, 0, 2.5f, 4.5f, 0.5f, 0, 0, 0, 0},
    {3, 1.5f, 2, 2, 0.5f, 1, 2.5f, 0, 0.5f, 0.5f, 1.75f, 0.75f, 0, 3, 0, 2.5f, 1.5f, 0.5f, 0, 0, 0, 0},
    {3, 2, 2, 1.75f, 0.5f, 1, 2.5f, 0, 0.5f, 0.5f, 1.75f, 0.75f, 0, 3, 0, 2.5f, 1.5f, 0.5f, 0, 0, 0, 0},
    {0.5f, 1, 2.5f, 3.5f, 0.75f, 1.5f, 2.5f, 0, 0.5f, 0.5f, 2, 0.5f, 0, 1.5f, 0, 3.5f, 0.5f, 0.5f, 0, 0, 0, 0},
    {0.5f, 1, 2.5f, 3.5f, 0.75f, 1.5f, 2.5f, 0, 0.5f, 0.5f, 2, 0.5f, 0, 0, 0, 3.5f, 0.5f, 0.5f, 0, 0, 0, 0},
    {0.7f, 1.1f, 2.5f, 3.5f, 0.75f, 1.5f, 2.5f, 0, 0.5f, 0.5f, 2, 0.5f, 0, 0, 0, 3.5f, 0.5f, 0.5f, 0, 0, 0, 0.25f},
    {0.2f, 0.5f, 4, 4, 0.5f, 1, 2.5f, 0, 0.5f, 0.5f, 2, 0.5f, 0, 0, 0, 1, 0, 4, 2, 0, 0, 0.5f},
    {0.05f, 0.05f, 4, 4, 0.5f, 1, 1.5f, 1, 0.5f, 0.5f, 0.5f, 1.5f, 0, 0, 0, 0.1f, 0, 2.5f, 5.5f, 0.25f, 0.25f, 0},
    {0.25f, 0.25f, 9.5f, 3, 0.5f, 1, 2.5f, 1, 0.5f, 0.5f, 1, 0.5f, 0.25f, 0, 0, 0.25f, 0, 1, 0.5f, 0, 0.25f, 0},
    {0.5f, 0.5f, 7, 5, 0.5f, 1, 3, 0.5f, 0.5f, 0.5f, 1.5f, 1, 0, 0, 0, 0.5f, 0, 2.5f, 1, 0, 0, 0.5f},
    {0.5f, 0.5f, 7, 5, 0.5f, 1, 4, 0.5f, 1.5f, 1.5f, 1.5f, 1, 0, 0, 0, 0.5f, 0, 2, 0.75f, 0, 0, 0.75f},
    {0.25f, 0.25f, 9.5f, 3, 0.5f, 1, 2.5f, 1, 0.5f, 0.5f, 1, 0.5f, 0.25f, 0, 0, 0.25f, 0, 1, 0.5f, 0, 0.25f, 0},
    {0.25f, 0.25f, 7.5f, 4, 0.5f, 1, 3, 1, 0.5f, 0.5f, 1, 1, 1, 0, 0, 0.25f, 0, 1, 2, 0, 0.25f, 0},
};

// The starting slot whose row replacement slot 16..22 copies.
constexpr int kReplacementRow[7] = {1, 2, 4, 8, 10, 12, 15};

// A weighted sum or score as a record holds it.
struct TScore {
  f32 s;
  // Multiplies the score by the factor when the condition holds.
  void Adjust(bool condition, double factor) {
    if (condition) s = ToF32(s * factor);
  }
};

// The weighted sum of the slot's row, then the slot's adjustments in their
// order; every comparison is strict and tests the record being scored.
f32 PositionScore(int Slot, const TPlayerStats& P, const TPositionWeights& Table) {
  double sum = 0.0;
  for (int j = 1; j <= kRatedFields; ++j) sum += static_cast<double>(Table[Slot][j]) * (P.*kRatedField[j - 1]);
  TScore sc{ToF32(sum)};
  sc.Adjust(P.speed < 60, 0.9);
  sc.Adjust(P.tackling < 50, 0.9);
  sc.Adjust(P.tackling > 70, 1.02);
  if (Slot == 15) sc.Adjust(P.tackling > 70, 1.02);
  switch (Slot) {
    case 1: case 3: case 16:  // props
      sc.Adjust(P.weight < 100, 0.99);
      sc.Adjust(P.weight < 95, 0.9);
      sc.Adjust(P.scrummaging < 70, 0.9);
      break;
    case 2: case 17:  // hooker
      sc.Adjust(P.weight < 100, 0.99);
      sc.Adjust(P.weight < 95, 0.9);
      sc.Adjust(P.lineoutthrow < 70, 0.9);
      sc.Adjust(P.scrummaging < 70, 0.98);
      break;
    case 4: case 5: case 18:  // locks
      sc.Adjust(P.height < 195, 0.9);
      sc.Adjust(P.lineoutjumping < 70, 0.95);
      break;
    case 6: case 7: case 8: case 19:  // back row
      sc.Adjust(P.rucking < 70, 0.92);
      sc.Adjust(P.speed < 70, 0.98);
      sc.Adjust(P.acceleration < 70, 0.98);
      break;
    case 9:
      sc.Adjust(P.passing < 70, 0.9);
      break;
    case 10:
      sc.Adjust(P.passing < 60, 0.99);
      sc.Adjust(P.kicking < 70, 0.95);
      sc.Adjust(P.handling < 60, 0.99);
      break;
    case 20:
      sc.Adjust(P.passing < 70, 0.98);
      sc.Adjust(P.kicking < 70, 0.98);
      sc.Adjust(P.handling < 60, 0.99);
      break;
    default:
      break;
  }
  if ((Slot >= 9 && Slot <= 15) || (Slot >= 20 && Slot <= 22)) {  // backs
    sc.Adjust(P.speed < 80, 0.98);
    sc.Adjust(P.speed < 75, 0.95);
  }
  return sc.s;
}

// A match count and its weight in the performance score.
struct TCountWeight {
  i16 TPlayerSummary::*count;
  double weight;
};

// The counts that carry a weight; every other count weighs 0.
constexpr TCountWeight kCountWeights[] = {
    {&TPlayerSummary::runningmeters, 0.1},        {&TPlayerSummary::defendersbeaten, 1.5},
    {&TPlayerSummary::tackles, 2.5},              {&TPlayerSummary::tackleassists, 0.5},
    {&TPlayerSummary::missedtackles, -2},         {&TPlayerSummary::passes, -1},
    {&TPlayerSummary::passeshittarget, 1},        {&TPlayerSummary::offloads, 2},
    {&TPlayerSummary::interceptsthrown, -4},      {&TPlayerSummary::rucksjoinedquickly, 1},
    {&TPlayerSummary::turnovers, 4},              {&TPlayerSummary::totpenalties, -4},
    {&TPlayerSummary::handlingerrors, -4},        {&TPlayerSummary::convattempts, -1},
    {&TPlayerSummary::pengoalattempts, -1},       {&TPlayerSummary::pengoalsuccess, 3},
    {&TPlayerSummary::dropgoalattempts, -1},      {&TPlayerSummary::dropgoalsuccess, 3},
    {&TPlayerSummary::assists, 5},                {&TPlayerSummary::tries, 10},
    {&TPlayerSummary::LineoutsWonOwnThrow, 0.25}, {&TPlayerSummary::lineoutcleantakes, 1},
    {&TPlayerSummary::lineoutwonagainstthrow, 1}, {&TPlayerSummary::lineoutcleantakesdef, 4},
    {&TPlayerSummary::lineoutthrows, -1},         {&TPlayerSummary::lineoutthrowhitjumper, 2},
    {&TPlayerSummary::lineoutthrowsnotstraight, -4}, {&TPlayerSummary::convsuccess, 2},
};

constexpr double kFrontRowBonus = 2.0;

}  // namespace

void InitRatingWeights(TPlayerStats& Reference) {
  Reference.age = 1.0f;
  Reference.height = 220.0f;
  Reference.width = 1.0f;
  Reference.weight = 120.0f;
  constexpr int kSpeed = 4, kLeadership = 29;  // positions among the rated fields
  for (int j = kSpeed; j <= kLeadership; ++j) Reference.*kRatedField[j - 1] = 99.0f;
  Reference.ExtraValue1 = 1.0f;
  Reference.ExtraValue2 = 1.0f;
}

void InitRatingTable(TPositionWeights& Table) {
  Table = TPositionWeights{};
  for (int slot = 1; slot <= 15; ++slot)
    for (int c = 0; c < kWeightedColumns; ++c) Table[slot][kColumnField[c]] = kStarterWeights[slot - 1][c];
  for (int r = 0; r < 7; ++r) Table[16 + r] = Table[kReplacementRow[r]];
}

i16 PlayerPositionRating(int Slot, const TPlayerStats& Player, const TPlayerStats& Reference,
                         const TPositionWeights& Table) {
  const double player = PositionScore(Slot, Player, Table);
  const double reference = PositionScore(Slot, Reference, Table);
  const double rating = RoundHalfEven(100.0 * player / reference);
  return ClampToI16(rating > 100.0 ? 100.0 : rating);
}

f32 RatingWeightedSum(const TPlayerSummary& Summary) {
  double sum = 0.0;
  for (const TCountWeight& cw : kCountWeights) sum += cw.weight * Summary.*cw.count;
  f32 s = ToF32(sum);
  const bool frontRow = Summary.startinglineupindex >= 1 && Summary.startinglineupindex <= 3;
  if (frontRow && Summary.scrumpenalties + Summary.scrumpenaltiesdef == 0) s = ToF32(s + kFrontRowBonus);
  return s < 0.0f ? 0.0f : s;
}

void SetMatchDate() {
  const TCalendarDate date = LocalDate();
  MatchSummary.MatchDay = static_cast<i16>(date.Day);
  MatchSummary.MatchMonth = static_cast<i16>(date.Month);
  MatchSummary.MatchYear = date.Year;
}

void RateSquads() {
  TPlayerStats reference{};
  InitRatingWeights(reference);
  TPositionWeights table;
  InitRatingTable(table);
  TMatchSummary& S = MatchSummary;
  S.BestPlayerSlot[1] = 1;
  S.BestPlayerSlot[2] = 1;
  S.TeamRating[1] = 0;
  S.TeamRating[2] = 0;
  const int perTeam = World.PlayersPerTeam;
  for (int k = 1; k <= kRatedSlots; ++k) {
    for (int t = 1; t <= 2; ++t) {
      const i16 rating = PlayerPositionRating(k, MatchStats.PlayerStats[t][k], reference, table);
      S.Players[t][k].PositionRating = rating;
      if (k <= perTeam) S.TeamRating[t] = WrapToI16(S.TeamRating[t] + rating);
    }
  }
  for (int t = 1; t <= 2; ++t)
    S.TeamRating[t] = perTeam > 0 ? RoundToI16(static_cast<double>(S.TeamRating[t]) / perTeam) : 0;
}
