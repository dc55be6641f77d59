#include "output/WebSubmission.h"

#include <iterator>

#include "core/MatchStore.h"
#include "core/NumberFormat.h"
#include "core/Rounding.h"
#include "platform/Digest.h"

namespace {

constexpr int kThresholds = 10;  // A below 100, 90, .., 10
constexpr int kSquadSlots = 25;

// One variant of the scrambler.
struct TScrambleRow {
  i32 Base;
  i32 Increments[kThresholds];  // applied when A is below 100, 90, .., 10
  i32 AMult;
  i32 ValueMult;
};

// Row 0 is the default row; rows 1 .. 10 are those of B = 1 .. 10.
constexpr TScrambleRow kScrambleRows[] = {
    {40, {10, 15, 15, 5, 40, 5, 25, 35, 5, 70}, 2, 1},
    {78, {8, 5, 5, 15, 30, 5, 35, 15, 70, 10}, 5, 4},
    {23, {4, 11, 11, 35, 11, 9, 7, 5, 3, 1}, 2, 4},
    {10, {1, 0, 0, 50, 50, 0, 0, 100, 100, 9}, 2, 2},
    {5, {19, 2, 10, 2, 20, 2, 30, 2, 40, 7}, 3, 5},
    {7, {5, 5, 5, 5, 5, 5, 5, 5, 5, 5}, 2, 7},
    {15, {50, 5, 20, 10, 40, 3, 2, 10, 1, 7}, 3, 3},
    {101, {100, 2, 4, 6, 8, 10, 12, 14, 16, 1}, 2, 3},
    {28, {11, 4, 50, 6, 7, 8, 20, 4, 5, 7}, 5, 2},
    {8, {5, 1, 3, 5, 7, 9, 11, 100, 7, 9}, 7, 3},
    {98, {20, 7, 10, 5, 3, 5, 14, 11, 10, 19}, 4, 2},
};
static_assert(std::size(kScrambleRows) == 11);

const TScrambleRow& RowOf(i32 B) { return kScrambleRows[B >= 1 && B <= 10 ? B : 0]; }

}  // namespace

const f32 TPlayerStats::* const kScrambledRatings[kScrambledRatingCount] = {
    &TPlayerStats::speed,       &TPlayerStats::acceleration,   &TPlayerStats::awareness,
    &TPlayerStats::discipline,  &TPlayerStats::fitness,        &TPlayerStats::tackling,
    &TPlayerStats::agility,     &TPlayerStats::elusiveness,    &TPlayerStats::fend,
    &TPlayerStats::breaktackle, &TPlayerStats::strength,       &TPlayerStats::handling,
    &TPlayerStats::highball,    &TPlayerStats::lineoutjumping, &TPlayerStats::lineoutthrow,
    &TPlayerStats::rucking,     &TPlayerStats::scrummaging,    &TPlayerStats::form,
    &TPlayerStats::passing,     &TPlayerStats::kicking,        &TPlayerStats::goalkicking,
    &TPlayerStats::finesse,     &TPlayerStats::injury,         &TPlayerStats::offloads,
    &TPlayerStats::leadership};

i32 ScrambleStatValue(i32 Value, i32 A, i32 B, bool Encode) {
  const TScrambleRow& row = RowOf(B);
  int64_t offset = row.Base;
  for (int k = 0; k < kThresholds; ++k)
    if (A < 100 - 10 * k) offset += row.Increments[k];
  const int64_t shift = offset + static_cast<int64_t>(row.AMult) * A;
  if (Encode) {
    const int64_t encoded = static_cast<int64_t>(row.ValueMult) * Value + shift;
    return static_cast<i32>(static_cast<u32>(static_cast<uint64_t>(encoded)));  // the low 32 bits
  }
  return RoundToI32((static_cast<double>(Value) - static_cast<double>(shift)) / row.ValueMult);
}

void AddMatchCounts(TCsvLine& Line, const TPlayerSummary& P) {
  for (const i16 v :
       {P.carries, P.runningmeters, P.defendersbeaten, P.tackles, P.tackleassists, P.missedtackles, P.passes,
        P.passeshittarget, P.offloads, P.interceptsthrown, P.forwardpasses, P.rucksjoined, P.rucksjoinedquickly,
        P.turnovers, P.totpenalties, P.handlingerrors, P.convattempts, P.convsuccess, P.pengoalattempts,
        P.pengoalsuccess, P.dropgoalattempts, P.dropgoalsuccess, P.assists, P.tries, P.points, P.lineoutjumps,
        P.LineoutsWonOwnThrow, P.lineoutcleantakes, P.lineouthandlingerr, P.lineoutjumpdef,
        P.lineoutwonagainstthrow, P.lineoutcleantakesdef, P.lineouthandlingerrdef, P.lineoutthrows,
        P.lineoutthrowhitjumper, P.lineoutthrowsnotstraight, P.scrumpenalties, P.scrumpenaltiesdef})
    Line.Int(v);
}

std::string SubmissionLine(int Team, i32 A, i32 B) {
  const i16 best = MatchSummary.BestPlayerSlot[Team];
  const int s = best >= 1 && best <= kSquadSlots ? best : 1;
  const TPlayerSummary& P = MatchSummary.Players[Team][s];
  const TPlayerStats& R = MatchStats.PlayerStats[Team][s];
  const TSquadPlayer& Q = MatchStore.MatchInfo.Team[Team].Squad[s];
  TCsvLine line;
  line.Int(P.playerid).Text(P.firstname.View()).Text(P.surname.View()).Text(P.appearance.View());
  line.Int(P.Age).Int(P.height).Int(P.weight).Int(P.startinglineupindex).Int(P.PositionRating);
  line.Text(P.homeaway ? "1" : "0");
  line.Int(P.teamid).Text(P.teamcity.View()).Text(P.teamname.View()).Text(P.user.View());
  line.Int(P.OppTeamId).Text(P.OppTeamCity.View()).Text(P.OppTeamName.View()).Text(P.OppUser.View());
  line.Int(P.OppTeamRating);
  line.Int(MatchSummary.MatchDay).Int(MatchSummary.MatchMonth).Int(MatchSummary.MatchYear);
  line.Text(P.CompetitionKind1.View()).Text(P.CompetitionKind2.View()).Text(P.CompetitionKind3.View());
  line.Int(P.RandomTag);
  line.Text(FormatStat(P.performanceratingraw, 1)).Text(FormatStat(P.performancerating, 1));
  line.Int(P.MinutesPlayed);
  AddMatchCounts(line, P);
  line.Int(ScrambleStatValue(Q.bodyfat, A, B, true));
  for (const f32 TPlayerStats::*rating : kScrambledRatings)
    line.Int(ScrambleStatValue(RoundToI32(R.*rating), A, B, true));
  line.Int(A).Int(B).Text("check");
  return line.Str();
}

std::string CheckLine(std::string_view Submission) { return Md5Hex(kCheckKey, Submission); }
