// The per-frame part of the gottackled handler: the breakdown's clocks, the
// attacking-ruck message, the once-per-breakdown turnover roll (which
// mirrors the world so that the side that won the ball is block 1), the
// pack's push, and both sides' places round the ruck. The one-shot set-up
// runs between the bookkeeping and the frame (DoGotTackled). Both run in the
// match and the look-ahead: no allocation, no log.
#pragma once

#include "core/TypeDefs.h"

// Before the set-up: both sides' jackle clocks, the time defenders are alone
// in the ruck, and every player's PrevDesiredPos.
void TackledBookkeeping(TWorld& W);

// After the set-up, every frame: message 19 once per breakdown; the turnover
// while TackleReleaseTimer runs; the pack; block 1's line, support grid, ruck
// spots, bound players, sequences, scrum-half, step-asides, the receiver's
// run and slides; then block 2's ruck points, Defense (a user's defender then
// goes to ApplyUserControl), its ruck spots, step-asides, lunges and slides.
void TackledFrame(TWorld& W);

// Per mille chance that the defending side wins the ball now: the table by
// ruck numbers, with the jackling bonus taken off (attackers jackle) or added
// (defenders jackle). Can fall below 0 or rise above 1000.
double TurnoverChance(const TWorld& W);

// The breakdown's scrum-half after a turnover: player 9 when he is free and
// within 10.0 m of the mark, else the free block-1 player nearest the mark;
// 0 when nobody is free.
i32 TurnoverScrumHalf(const TWorld& W);
