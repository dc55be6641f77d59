// The finish writers: event list, Man of the Match (output/ManOfTheMatch.h),
// statistics and the replay and match file. The event list and the game
// file are call points until their writers land.
#pragma once

#include "output/ManOfTheMatch.h"

void WriteEventList();
// Finish call 4: runs BuildStatsPages.
void WriteStatsOutput();
void WriteGameFile();

// The statistics pages, in order: the date and the ratings, the player pass
// and the player statistics file, the team pass and the team statistics
// file, the final Man of the Match, the academy scout report. Raises when a
// file cannot be written; the later steps are then not run.
void BuildStatsPages();
