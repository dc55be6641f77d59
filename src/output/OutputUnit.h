// The finish writers: event list, Man of the Match, statistics and the
// replay and match file. Call points until output lands.
#pragma once

void WriteEventList();
void PickManOfTheMatch();
void WriteStatsOutput();
void WriteGameFile();
