// The match set-up sequence run once by start-up.
#pragma once

// Builds the whole match world from the input files. Raises on bad input.
void InitialiseMatch();
