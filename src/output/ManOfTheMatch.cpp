#include "output/ManOfTheMatch.h"

#include <cmath>

#include "core/MatchStore.h"
#include "core/Random.h"
#include "core/TypeDefs.h"
#include "output/MatchSummary.h"
#include "output/MessageCounts.h"

namespace {

constexpr int kSquadSlots = 25;

// Weights of a player's own messages in the first pick.
constexpr int kTryWeight = 10;
constexpr int kLineBreakWeight = 5;
constexpr int kTurnoverWeight = 4;
constexpr int kTackleWeight = 1;

// The final pick's draw: a whole number 1 .. 1000; the winning side keeps
// the award below 500.
constexpr i32 kDrawLow = 1;
constexpr i32 kDrawHigh = 1001;  // never drawn
constexpr i32 kWinnerKeepsBelow = 500;

// The counts of the player's own messages.
TMessageCounts CountForPick(i32 TeamId, i32 PlayerId) {
  TMessageCounts c{};
  const TMatchStore& S = MatchStore;
  const int count = ReadableMessageCount(S);
  for (int i = 1; i <= count; ++i) {
    const TMatchMessage& m = S.Messages[i];
    if (m.teamID == TeamId && m.playerID == PlayerId) CountSharedMessage(m, c);
  }
  return c;
}

int PickWeight(const TMessageCounts& c) {
  return kTryWeight * c.tries + kLineBreakWeight * c.linebreaks + kTurnoverWeight * c.turnovers +
         kTackleWeight * c.tackles;
}

}  // namespace

void PickManOfTheMatch() {
  TMatchInfo& info = MatchStore.MatchInfo;
  info.MotmTeamId = 0;
  info.MotmPlayerId = 0;
  info.MotmFigures = {};
  bool found = false;
  int best = 0;
  for (int t = 1; t <= 2; ++t) {
    const TTeamInfo& team = info.Team[t];
    for (int k = 1; k <= kSquadSlots; ++k) {
      const i32 playerid = team.Squad[k].playerid;
      if (playerid == 0) continue;
      const TMessageCounts c = CountForPick(team.teamid, playerid);
      const int weight = PickWeight(c);
      if (found && weight <= best) continue;
      found = true;
      best = weight;
      info.MotmTeamId = team.teamid;
      info.MotmPlayerId = playerid;
      info.MotmFigures[1] = c.points;
      info.MotmFigures[2] = c.tries;
      info.MotmFigures[3] = c.tackles;
      info.MotmFigures[4] = c.turnovers;
    }
  }
}

void PickFinalManOfTheMatch(const TPlayerPassResults& Results) {
  TMatchInfo& info = MatchStore.MatchInfo;
  const i16 s1 = MatchSummary.TeamFigures[1].score;
  const i16 s2 = MatchSummary.TeamFigures[2].score;
  const bool teamOneWins = s1 > s2 || (s1 == s2 && info.Team[1].teamid == info.winnerifdrawteamid);
  const int winner = teamOneWins ? 1 : 2;
  const int other = 3 - winner;
  int picked = winner;
  if (!std::isgreater(Results.BestRating[winner], Results.BestRating[other]))
    picked = RandomRange(kDrawLow, kDrawHigh) < kWinnerKeepsBelow ? winner : other;
  info.MotmTeamId = info.Team[picked].teamid;
}
