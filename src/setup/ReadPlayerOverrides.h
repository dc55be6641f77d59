// The optional per-player engine values of "playersOverride.csv", applied
// over the ratings, with the copy of the file under the output folder and
// the parameter block of every player in the run log.
#pragma once

void ReadPlayerOverrides();
