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

// "gottackled": the ruck. Arrivals bind into their side's pack and take
// their roles (jackle, clear out, cleared out), the pack moves by momentum,
// late tacklers take hold and bring attackers down, dives that found nobody
// end; once the set-up is done (GotTackledPhase above 1) the scrum-half takes
// the ball out (SetPieceHandOver.h), defenders bound alone too long give a
// penalty, a ball in touch stops play for a lineout and, in the match world
// only, a front-row attacker picks up and runs (RuckContact.cpp).
void RuckContact(TWorld& W);

// "freeball", stage by stage: 1 the ball-arrival scan, 2 the choice between
// the two catchers and block 1's catch, 3 the 10 m rule of restart kicks,
// 4 block 2's catch (a change of possession), 5 the mark call
// (FreeBallCatch.h); then, while still "freeball", deflections, the catch
// actions of the chasers, touch and dead ball; a catch on or beyond a
// boundary; the holds and missed dives; the kicks at goal and post strikes.
void FreeBallContact(TWorld& W);

// "scrum": once the ball is out (ScrumPhase above 1), the scrum-half takes
// it (SetPieceHandOver.h).
void ScrumContact(TWorld& W);

// "kickrestartset": running play starts in the frame the restart kicker's
// kick animation (SpecialAnimKind 3) ends.
void KickRestartContact(TWorld& W);

// "lineout": the contest in the air, the clean take or steal (a change of
// possession), the knock-on at the jump and the throw nobody takes (both to
// "freeball").
void LineoutContact(TWorld& W);

// "tryscored": nothing; play is stopped while the try is scored.
void TryScoredContact(TWorld& W);

// "transition": dives still under way when play stopped end when they find
// nobody (EndMissedDives).
void TransitionContact(TWorld& W);
