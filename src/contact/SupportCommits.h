// The two commits of support that the contact resolution makes when a tackle
// is made in running (TackleContest): up to four free players of a side,
// nearest the tackled carrier first, sent on a scripted run to a point 2 m
// from him. The action-sequence runner plays the runs.
#pragma once

#include "core/TypeDefs.h"

// Commits free players of block 1 (the side whose carrier is being tackled):
// not the carrier, and none of RuckTimer, RuckTimer2, TackleAttemptTimer,
// OldTackleTimer, standuptimer, passcatchtimer, freeballcatchtimer,
// shimmytimer, passtimer running. Nearest the carrier first, each walked
// player's commit roll is drawn against his SupportCommitProb (the nearest
// is committed whatever it gives) until four are committed; then each
// committed player, in that order, draws the heading (240 to 300 degrees) of
// his 2 m relative run round the carrier, with a 2.0 s deadline. Without a
// carrier or a free player nothing is drawn or changed.
void CommitUpTeamSupport(TWorld& W);

// The same for block 2 (the tackling side): no player is left out as
// carrier, distances are to block 1's carrier, and the run's heading is 60
// to 120 degrees; the reference of the run is block 1's carrier.
void CommitDownTeamSupport(TWorld& W);
