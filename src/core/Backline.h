// The backline of the side in possession at a set piece: which slots of a
// slot line its backs take around the feeder in centre slot 101, and which
// back takes which slot.
#pragma once

#include "core/TypeDefs.h"

// A line holding 1 in every slot chosen for a player (slot 101 included) to
// spread Count players (the feeder included) across the pitch from a set
// piece at x = X, with random but bounded gaps that shrink near touch.
TSlotLine PlanBacklineSpacing(i32 Count, f32 X);

// The players of List (player numbers of Block) written into the non-zero
// slots of Marks other than 101. Slot positions are Block.LineSlotPos
// shifted by (XOffset, ZOffset). With WingsFirst the wings (11, 14) and
// then the Priority players take slots near their own positions first
// (within 15 m when Tight); the rest fill the remaining slots from slot 1 in
// order of x. Feeder is never placed.
TSlotLine BuildBackline(const TTeamBlock& Block, TPlayerList List, TSlotLine Marks, i32 Feeder,
                        f32 XOffset, f32 ZOffset, bool32 WingsFirst, bool32 Tight,
                        const TPlayerList& Priority);
