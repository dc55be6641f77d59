// Frame step 3: contact resolution. Hands the world to the contact step of
// the game state in force when the step starts (at most one), then counts the
// two advantage timers down and keeps the advantage (UpdateAdvantage). A
// contact step that changes the game state does not run the new state's step
// in the same frame. Works only on the world it is given, so the look-ahead
// runs it on its copy.
#pragma once

#include <array>

#include "core/TypeDefs.h"

// Clears both blocks' NoAdvantageFlag before the contact step (the free-ball
// step sets its side's flag for this frame's UpdateAdvantage); both timers
// fall by TimeStep without a floor.
void GeneralCollision(TWorld& W);

// The contact step of each game state 0..25; none (null) for the states
// without contact: 0, 5, 6, 11, 13 and above. A state beyond the table has
// none either. Tests may replace an entry; ResetContactSteps puts the
// engine's own steps back.
using TContactStep = void (*)(TWorld& W);
using TContactStepTable = std::array<TContactStep, gsHuddle + 1>;
extern TContactStepTable ContactSteps;

void ResetContactSteps();
