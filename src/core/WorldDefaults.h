// The world's defaults, set once at start before the input files are read.
#pragma once

#include "core/TypeDefs.h"

// Set true by the world defaults and never cleared: the set-piece procedures
// never build line-ups from the 201-entry position tables.
extern bool32 SkipLineTables;

// Scale of positions on the pitch, 50.0.
extern f32 PositionScale;

// Puts a player into the rest animation, "breathing", from its first frame.
void SetBreathing(TPlayer& P);

// Gives W its start values: match constants, the strategy templates, the
// move books, every player's defaults and the team-block working defaults.
// Builds block 1 and copies it onto block 2. Also sets the globals above,
// AuxState and the move-book heads, and draws from the random generator.
// Every field that no step sets is zero afterwards.
void InitialiseWorld(TWorld& W);
