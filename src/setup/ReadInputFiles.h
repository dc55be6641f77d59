// The input driver: reads every input file of the run.
#pragma once

// Runs the four readers in their fixed order (match and teams, players,
// field strategies, overrides) and copies the match settings and field
// strategies into the statistics record. Raises on a missing or malformed
// input file.
void ReadInputFiles();
