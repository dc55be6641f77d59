// The player pass after the match: every listed squad player's messages
// counted from the match store's message list, his TPlayerSummary filled,
// his performance ratings worked out, and one row for him in the player
// statistics file "playerInternet" + FileSuffix + ".csv" in OutputDir.
#pragma once

#include "core/Arrays.h"

// The header line of the player statistics file, 65 column names.
extern const char* const kPlayerStatsHeader;

// What the player pass leaves for the team statistics file and the Man of
// the Match. Team 1 and 2 are MatchInfo.Team[1] and [2].
struct TPlayerPassResults {
  Arr1<i16, 2> RunningMetres;  // m, the runningmeters column summed over the team's rows (16 bits)
  Arr1<f32, 2> BestRawRating;  // the best performanceratingraw; -1.0 while nobody is rated
  Arr1<f32, 2> BestRating;     // performancerating of the best player; -1.0 while nobody is rated
  // s, the greatest timeplayed counted since it was last set to 0: it is set
  // to 0 as each listed team-1 player's counting starts, never in team 2's
  // loop, so it ends as the maximum of the last listed team-1 player and all
  // listed team-2 players (the team file's totmin).
  i16 TimePlayedMax;
};

// The results as BuildStatsPages starts them: best ratings -1.0, sums 0.
TPlayerPassResults StartPlayerPassResults();

// The pass over team 1's squad slots 1..25, then team 2's, skipping slots
// whose playerid is 0. Per listed player: the counts of his messages (own
// teamid and playerid), the TPlayerSummary in field order with one
// RandomRange(1, 100000001) draw, performanceratingraw := RatingWeightedSum
// and performancerating := OppTeamRating / 100 x raw, the team's best (a tie
// keeps the earlier slot) into MatchSummary.BestPlayerSlot, and his row.
// Reads TeamRating and BestPlayerSlot, which RateSquads sets before. Saves
// the file through Form1.ListBox1 and clears it; raises EEngineError when
// the file cannot be created (the summaries are filled by then).
void WritePlayerStatsFile(TPlayerPassResults& Results);
