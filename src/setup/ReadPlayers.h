// The player reader: every player row of "players.csv" turns its 0 to 100
// ratings into the engine values of his record in the world, and fills his
// squad entry and his statistics entry. Needs both team ids, the captains
// and the match type read before it, and the world's defaults.
#pragma once

void ReadPlayers();
