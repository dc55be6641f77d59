// Places everybody who is not bound in a scrum, once, when the scrum is set:
// the attacking backs on the slot line at the mark, the attacking side's
// other free players on support spots, and the defending backs against the
// attacking backs.
#pragma once

#include "core/TypeDefs.h"

// Draws through PlanBacklineSpacing, BuildBackline, MarkSlotsInRange and
// once for each supporter placed on the support grid.
void SetupScrumPlay(TWorld& W);
