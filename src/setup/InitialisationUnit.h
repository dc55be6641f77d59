// The match set-up sequence run once by start-up: tables, world defaults,
// the kick-off state, the input files and the kicking-range estimates.
#pragma once

// Builds the whole match world from the input files. Raises on bad input.
void InitialiseMatch();

// Puts `World` into the kick-off state.
void ResetMatchState();

// Estimates every player's kicking ranges (players 1 to 22 of each block).
void SampleStartValues();
