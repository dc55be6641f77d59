// The two Man of the Match picks. The first (finish call 2) ranks every
// listed player by his own messages; the final one, a step of
// BuildStatsPages, names the team that the game file marks, and replaces the
// first pick's team. Only MatchInfo.MotmTeamId of the final pick reaches an
// output.
#pragma once

#include "output/PlayerStatsFile.h"

// Finish call 2. Ranks the listed players of both squads (team 1's slots
// 1..25, then team 2's) by weighted counts of their own messages (teamID and
// playerID theirs): a try 10, a line break 5, a turnover 4, a tackle 1; a
// tie keeps the earlier player. The best one's teamid and playerid go into
// MatchInfo.MotmTeamId and MotmPlayerId, his points, tries, tackles and
// turnovers into MotmFigures; all zero when nobody is listed. Draws nothing.
void PickManOfTheMatch();

// The final pick, after the team statistics file. The winning side is team
// 1 when its counted score (TeamFigures) is greater, or when the scores are
// level and its teamid is MatchInfo.winnerifdrawteamid; team 2 otherwise.
// The winning side is picked without a draw when the performancerating of
// its best player (Results.BestRating, -1.0 when nobody of it was rated) is
// greater than the other side's; otherwise one RandomRange(1, 1001) draw
// gives it the pick below 500 and the other side from 500 on.
// MotmTeamId := the picked team's teamid (from MatchInfo, so a side without
// a listed player still gives its own id).
void PickFinalManOfTheMatch(const TPlayerPassResults& Results);
