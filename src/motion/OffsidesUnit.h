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
