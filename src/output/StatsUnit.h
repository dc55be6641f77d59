// Frame steps 22 and 23 of the real match (never of the look-ahead copy):
// the running team and player statistics timers, the timed statistics
// messages, and the move of every message posted this frame from the
// world's ten-slot queue into the match store's message list.
#pragma once

#include "core/TypeDefs.h"

// Frame step 22. In running, adds the carrier's gain along z this frame to
// his MetresRun and to block 1's RunMetres (a backward run lowers both);
// outside running, RunMetres of both blocks is 0. In running, passing and
// gottackled, adds TimeStep to block 1's timeinpossession, to the own-half
// time of the side whose half holds the ball (block 1's for z < 0) and,
// with the ball beyond PitchLength/2 - 22 m, to block 1's redzonetime.
// In every state adds TimeStep to every player's TimeOnField.
void UpdateStats(TWorld& W);

// Frame step 23. Counts the four MessageTimers down; the first three post
// each team's possession, own-half and red-zone time (codes 40, 41, 42,
// block 1 first) and restart at 5 to 10 whole seconds; the fourth posts,
// every second, the TimeOnField of player slot StatPlayerCursor of each
// block (code 48), and the cursor moves on, back to 1 after PlayersPerTeam.
// Then every waiting queue slot, in slot order, is appended to the match
// store's message list (a full list keeps overwriting its last entry) and
// freed; ten waiting messages write "QUEUE WAS FULL" three times into the
// run log. Draws from the random generator only when a team timer fires.
void PostStatMessages(TWorld& W);
