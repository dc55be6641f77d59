// The contact step of each game state: what happens this frame where the
// players of the state meet. GeneralCollision calls the one step of the state
// in force at the start of the frame; each works only on the world it is
// given, so the look-ahead runs them on its copy. A step that stops play,
// changes possession or changes the game state does so inside the frame; the
// new state's step runs from the next frame on.
#pragma once

#include "core/TypeDefs.h"

// "running": tackles, dive tackles, breaks and fends (TackleContest.h), holds
// off the ball, falls and missed dives (ContactHolds.h), the held carrier
// going to ground (HeldCarrier.h), the entry into gottackled, then tries and
// stoppages (RunningStoppages.h).
void RunningContact(TWorld& W);

// "passing": holds on attackers waiting for the ball, interceptions (a
// change of possession), catches, deflections and knock-ons (to "freeball"),
// the grounded ball, the forward-pass call and, in the look-ahead only, a
// defender at the breakdown taking the pass (PassingContact.cpp; the loose
// ball in LooseBall.h).
void PassingContact(TWorld& W);

// "gottackled": the ruck. A call point: a later unit fills it.
void RuckContact(TWorld& W);

// "freeball": jump catches, loose-ball dives, pick-ups, touch and dead ball,
// kicks at goal. A call point: a later unit fills it.
void FreeBallContact(TWorld& W);

// "scrum": the hand-over from the scrum. A call point: a later unit fills it.
void ScrumContact(TWorld& W);

// "kickrestartset": the restart kick. A call point: a later unit fills it.
void KickRestartContact(TWorld& W);

// "lineout": the contest in the air, the clean take or steal (a change of
// possession), the knock-on at the jump and the throw nobody takes (both to
// "freeball").
void LineoutContact(TWorld& W);

// "tryscored": nothing; play is stopped while the try is scored.
void TryScoredContact(TWorld& W);

// "transition": the dives still under way when play stopped. A call point: a
// later unit fills it.
void TransitionContact(TWorld& W);
