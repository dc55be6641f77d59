// Option weights of the field strategies as per-mille shares.
#pragma once

#include "core/TypeDefs.h"

// Turns each of the family's 30 zone rows into per-mille shares of its first
// OptionCount weights (halves to even); a row whose sum is below 1 is first
// made even (50 each). The sum is kept in 16 bits, as the weights are.
// Entries beyond OptionCount are left alone; OptionCount 0 or less changes
// nothing.
void NormaliseOptionWeights(TOptionFamily& Family);
