// Places everybody who is not bound in a scrum, once, when the scrum is set:
// the attacking backs on the slot line at the mark, the attacking side's
// other free players on support spots, and the defending backs against the
// attacking backs.
#pragma once

#include "core/TypeDefs.h"

// Draws through PlanBacklineSpacing, BuildBackline, MarkSlotsInRange and
// once for each supporter placed on the support grid.
void SetupScrumPlay(TWorld& W);

// The defending side's line against the attacking line AttackLine (block 1's
// slots): block 2's AttackBacksList (packed), ScratchPositions (block 1's
// positions) and every defender's SetPiecePlaced must be set. The attackers'
// line is rebuilt for the defence (MarkedLine) with a reserved slot near the
// set piece's x RefX (the mark; the lineout's reference x) for each spare
// free defender, the free defenders are listed by x (and then count as
// placed) and fill it from the front when RefX <= 0.
void LineUpDefenceAgainst(TWorld& W, const TSlotLine& AttackLine, f32 RefX);
