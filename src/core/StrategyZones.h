// Frame step 8: strategy-zone selection and strategy timers. Runs on the
// match world and on the look-ahead copy.
#pragma once

#include "core/TypeDefs.h"

// Re-selects the attacking side's shape every 0.4 s, refreshes the
// defending side's shape every 2 s (5 s in freeball), and moves the defence
// line and the gain line.
void UpdateStrategyTimers(TWorld& W);

// Chooses the attacking side's shape from the field-strategy zone that
// holds the ball (catch-up zones for a side trailing too fast for the time
// left) and lays its line slots out on it.
void SelectTeamStrategy(TWorld& W);

// Lays the side's line slots on its CurrentStrategy: each slot's depth
// (LineSlotPos z, m) becomes the shape's value at the slot's key (its x);
// the centre slot 101 stays level with the holder (0).
void LayLineOnShape(TTeamBlock& T);
