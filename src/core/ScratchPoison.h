// The poison that debug builds put into the world's shared scratch before
// every frame step, so that a step reading scratch it has not written in the
// same step fails its tests: a float reads as a signalling NaN (any use
// raises the invalid-operation flag that RunFrameStep checks), an integer as
// a large negative number that names no player and no array entry.
#pragma once

#include "core/TypeDefs.h"

// The poison word: as f32 a signalling NaN, as i32 -5921371, as i16 -23131
// or -91, as u16 42405 or 65445.
constexpr u32 kScratchPoisonWord = 0xFFA5A5A5u;

// Fills ScratchLine and the whole scratch group of W (from ScratchPlayerList
// up to FieldHalf) with the poison word. Nothing else changes.
void PoisonScratch(TWorld& W);
