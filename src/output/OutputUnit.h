// The finish writers: event list, Man of the Match (output/ManOfTheMatch.h),
// statistics and the replay and match file.
#pragma once

#include "output/ManOfTheMatch.h"

// Finish call 1 (output/EventList.cpp): OutputDir + "eventlist" + FileSuffix
// + ".csv", from the message list and the frames as recorded (before the
// post-processing). A header, then one line per message of a listed type,
// each field followed by ",": the message, the frame at which it is placed
// (the first counted frame stamped later than it; the last one for the
// messages after it), the player's and the ball's position as fractions of
// the field seen from the message's team ("-1,-1" for a player in neither
// shirt table), the game state and the side and player holding the ball
// ("-1000" for none). A player coming on takes over his shirt before his
// line. Raises when the file cannot be created or written.
void WriteEventList();
// Finish call 4: runs BuildStatsPages.
void WriteStatsOutput();
// Finish call 5: the replay and match file OutputDir + "game" + FileSuffix +
// ".txt" (output/GameFile.h), then ExeDir as the current directory. Raises
// EEngineError when the file cannot be created or written; the current
// directory is then left as it was.
void WriteGameFile();

// The statistics pages, in order: the date and the ratings, the player pass
// and the player statistics file, the team pass and the team statistics
// file, the final Man of the Match, the academy scout report. Raises when a
// file cannot be written; the later steps are then not run.
void BuildStatsPages();
