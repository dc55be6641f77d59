// The first input reader: the run identifier of "fileID.txt" and the match
// and team settings of "players.csv".
#pragma once

// Sets FileID and FileSuffix, fills the match store's TMatchInfo with both
// teams, the world's halflength, injurieson and team ids, AILevel and
// GameSpeed, and puts the kicking-off team first. Draws three times from the
// random generator at most (two stadium levels, the kick-off draw). Raises on
// a missing or malformed "players.csv".
void ReadMatchAndTeams();
