// Pending infringements and the advantage that follows them. The contact
// steps and the scrum handler add entries and start the timers; the
// contact-resolution step counts both timers down and then calls
// UpdateAdvantage once per frame, in every game state.
#pragma once

#include "core/TypeDefs.h"

// Reads and writes only the advantage record of W: AdvantageHoldTimer,
// AdvantageTimer and Infringements. Picks the head of the leading run of
// same-side entries; the rest of that run is dropped.
void UpdateInfringementList(TWorld& W);

// Keeps the list in order, posts the advantage messages and, every 2.5 s of
// AdvantageTimer, judges whether the advantage is over or play stops.
void UpdateAdvantage(TWorld& W);
