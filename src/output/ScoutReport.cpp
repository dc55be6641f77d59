#include "output/ScoutReport.h"

#include <algorithm>
#include <iterator>

#include "core/MatchStats.h"
#include "core/MatchStore.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/TypeDefs.h"
#include "output/MatchSummary.h"

namespace {

constexpr int kSquadSlots = 25;
constexpr int kReportEntries = 22;  // entries written by the game file
constexpr char kAcademyTeamName[] = "Youth Academy";
constexpr i16 kNoEstimate = -1;
constexpr i32 kErrorLow = -2;
constexpr i32 kErrorHigh = 3;  // never drawn: errors -2 .. 2
constexpr i32 kChanceLow = 1;
constexpr i32 kChanceHigh = 1001;  // never drawn: 1 .. 1000
constexpr i32 kEstimateUpTo = 190;  // an estimate is made for r <= this
constexpr double kLowestEstimate = 1.0;
constexpr double kHighestEstimate = 99.0;

// A rating of TPlayerStats and its estimate in the scout entry.
struct TScoutedRating {
  f32 TPlayerStats::*rating;
  i16 TScoutEntry::*estimate;
};

// The report's order of drawing.
constexpr TScoutedRating kReportOrder[] = {
    {&TPlayerStats::speed, &TScoutEntry::speed},
    {&TPlayerStats::acceleration, &TScoutEntry::acceleration},
    {&TPlayerStats::fitness, &TScoutEntry::fitness},
    {&TPlayerStats::agility, &TScoutEntry::agility},
    {&TPlayerStats::strength, &TScoutEntry::strength},
    {&TPlayerStats::injury, &TScoutEntry::injury},
    {&TPlayerStats::awareness, &TScoutEntry::awareness},
    {&TPlayerStats::discipline, &TScoutEntry::discipline},
    {&TPlayerStats::tackling, &TScoutEntry::tackling},
    {&TPlayerStats::elusiveness, &TScoutEntry::elusiveness},
    {&TPlayerStats::fend, &TScoutEntry::fend},
    {&TPlayerStats::breaktackle, &TScoutEntry::breaktackle},
    {&TPlayerStats::handling, &TScoutEntry::handling},
    {&TPlayerStats::highball, &TScoutEntry::highball},
    {&TPlayerStats::lineoutjumping, &TScoutEntry::lineoutjumping},
    {&TPlayerStats::lineoutthrow, &TScoutEntry::lineoutthrow},
    {&TPlayerStats::rucking, &TScoutEntry::rucking},
    {&TPlayerStats::scrummaging, &TScoutEntry::scrummaging},
    {&TPlayerStats::passing, &TScoutEntry::passing},
    {&TPlayerStats::kicking, &TScoutEntry::kicking},
    {&TPlayerStats::goalkicking, &TScoutEntry::goalkicking},
    {&TPlayerStats::finesse, &TScoutEntry::finesse},
    {&TPlayerStats::offloads, &TScoutEntry::offloads},
    {&TPlayerStats::leadership, &TScoutEntry::leadership},
};
static_assert(std::size(kReportOrder) == 24);

// Whether the list holds a msgTimePlayed of the player whose extravalue
// rounds above 0 s.
bool TookTheField(i32 TeamId, i32 PlayerId) {
  const TMatchStore& S = MatchStore;
  const int count = ReadableMessageCount(S);
  for (int i = 1; i <= count; ++i) {
    const TMatchMessage& m = S.Messages[i];
    if (m.teamID == TeamId && m.playerID == PlayerId && m.message == msgTimePlayed &&
        std::isgreater(RoundHalfEven(m.extravalue), 0.0))
      return true;
  }
  return false;
}

// Error plus rating, rounded, kept within 1 .. 99.
i16 Estimate(i32 Error, f32 Rating) {
  const double v = RoundHalfEven(Error + static_cast<double>(Rating));
  return ClampToI16(std::clamp(v, kLowestEstimate, kHighestEstimate));
}

}  // namespace

void WriteScoutReport() {
  const TMatchInfo& info = MatchStore.MatchInfo;
  if (info.matchtype != mtAcademy) return;
  const int b = info.Team[1].teamname == kAcademyTeamName ? 1 : 2;
  const TTeamInfo& team = info.Team[b];
  Arr1<TScoutEntry, kSquadSlots>& report = MatchSummary.ScoutReport;

  for (int k = 1; k <= kReportEntries; ++k) {
    TScoutEntry& e = report[k];
    e.teamid = team.teamid;
    e.playerid = team.Squad[k].playerid;
    e.jerseynum = team.Squad[k].jerseynum;
    for (const TScoutedRating& r : kReportOrder) e.*r.estimate = kNoEstimate;
  }

  Arr1<bool, kSquadSlots> played;
  for (int k = 1; k <= kSquadSlots; ++k) {
    const i32 playerid = team.Squad[k].playerid;
    played[k] = playerid != 0 && TookTheField(team.teamid, playerid);
  }

  for (const TScoutedRating& r : kReportOrder)
    for (int k = 1; k <= kSquadSlots; ++k) {
      if (!played[k]) continue;
      const i32 error = RandomRange(kErrorLow, kErrorHigh);
      const i32 chance = RandomRange(kChanceLow, kChanceHigh);
      if (chance <= kEstimateUpTo) report[k].*r.estimate = Estimate(error, MatchStats.PlayerStats[b][k].*r.rating);
    }
}
