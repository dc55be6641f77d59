// Frame step 2: offside marks. A player found more than 0.75 m in front of
// his side's offside line in running, at a breakdown, a scrum or a lineout is
// marked (`OffsideMark` 10.0) against that line (`OffsideLineZ`), and one roll
// against his `DisciplineProb` decides whether he stays there
// (`OffsideStays`); the mark is cleared once he is back within 0.75 m of the
// line. Block 1 plays towards +z, so its players are offside at a larger z,
// block 2's at a smaller one. Outside running and passing the step also
// keeps `RestartRefZ` at the ball's z, so that in open play it holds the
// ball's z from when open play began.
#pragma once

#include "core/TypeDefs.h"

// Runs in the match and in the look-ahead; one `RandomRange`(1, 1001) draw
// per new mark, none otherwise. Players bound in a ruck or scrum, set-piece
// holders, lineout throwers and players in the lineout are unmarked where
// their state excludes them. States other than running, passing, gottackled,
// scrum, lineout and freeball leave the marks as they are.
void Offsides(TWorld& W);

// The marking in running (RunningPhase 2 on) is one pass over the players,
// each player's two stages in turn: his last marks kept (PrevOffsideMark of
// both blocks), then his marking: block 1's player against the carrier's z,
// block 2's against the ball's z + 10 when a mark is called (one stage, so
// that the draws of new marks come in player order). The result is that of
// keeping every mark first; the stages are exposed so that
// tests/motion/MergedPassesTest.cpp can run them one at a time.
struct TRunningMarks {
  const TPlayer* Carrier;  // block 1's carrier, or null
  bool Called;             // MarkCalled
  double Line2;            // m, block 2's line
};
TRunningMarks StartRunningMarks(const TWorld& W);
void KeepLastMarks(TWorld& W, int p);
void MarkRunningPlayer(TWorld& W, int p, const TRunningMarks& M);
