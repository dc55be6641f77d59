// The team pass after the match: each team's messages counted from the match
// store's message list into the team statistics file "teamInternet" +
// FileSuffix + ".csv" in OutputDir (a header and one row per team), and 21
// of the figures kept in MatchSummary.TeamFigures for the Man of the Match
// and the game file.
#pragma once

#include "output/PlayerStatsFile.h"

// The header line of the team statistics file, 65 column names.
extern const char* const kTeamStatsHeader;

// Team 1, then team 2 (MatchInfo.Team[1] and [2]). A team's own messages are
// those whose teamID is its teamid; every other message is the other team's,
// of which only the last possession and own-half times count (for the
// percentages). The score is counted from scoring messages, not taken from
// the world. runningmeters and totmin come from the player pass's Results.
// Writes the header and both rows into Form1.ListBox1 (cleared first, the
// lines left in it), saves them after team 2's row, then logs the penalty
// warning when a team has more than 20 penalties. Team 1's figures are
// stored before team 2 is counted, team 2's after the save. Raises
// EEngineError when the file cannot be created; team 2's figures and the
// warning are then left out. Draws nothing.
void WriteTeamStatsFile(const TPlayerPassResults& Results);
