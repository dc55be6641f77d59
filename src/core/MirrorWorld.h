// Change of possession: the scene is turned by 180 degrees about the centre
// spot and the two team blocks change places, so that the side in
// possession is again Teams[1] attacking towards +z.
#pragma once

#include "core/TypeDefs.h"

// Callers toggle Team1InFirstBlock themselves just before the call. Uses one
// file-level scratch block, so two calls must never overlap.
void MirrorWorld(TWorld& W);

// The in-place treatments of a mirrored field; callers use Toggle32 for
// Team1InFirstBlock (0 becomes -1, anything else 0).
inline void Toggle32(bool32& flag) { flag = (flag == 0) ? kTrue32 : kFalse32; }
void TurnHeading(f32& heading);     // degrees
void TurnFacingRad(f32& facing);    // radians
