// Lays out both lines of a lineout once, when the lineout state begins.
#pragma once

#include "core/TypeDefs.h"

// Picks a formation for the throwing side (Teams[1]) and for the other
// side, and writes each side's slots, roles, lifters, target jumper and slot
// positions. Draws: the throwing side's formation, then (formation 1 only)
// one draw for each of players 6, 7 and 8, then the other side's formation.
void SetupLineout(TWorld& W);
