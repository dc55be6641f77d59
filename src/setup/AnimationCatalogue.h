// The animation catalogue: every body animation a player can be given, by
// name, with its length in frames. Filled once at set-up, read-only after.
#pragma once

#include <string_view>

#include "core/Arrays.h"

constexpr int kAnimCatalogueSize = 500;
constexpr int kAnimNameLength = 30;
constexpr f32 kDefaultAnimLength = 1920.0f;

// An empty name names no animation.
extern Arr1<ShortStr<kAnimNameLength>, kAnimCatalogueSize> AnimNames;
extern Arr1<f32, kAnimCatalogueSize> AnimLengths;

// Empties the whole catalogue (lengths 1920), writes the named entries and
// indexes them for AnimNameToIndex.
void BuildAnimationCatalogue();

// Rebuilds the name index from AnimNames as they stand. BuildAnimationCatalogue
// calls it; call it again only after changing AnimNames by hand.
void IndexAnimationNames();

// The first (lowest) index whose name equals Name exactly, case-sensitive;
// 1 when none does. The empty name finds the first empty entry. Allocates
// nothing: the replay recorder calls it every frame.
i32 AnimNameToIndex(std::string_view Name);

// Entry Index for 1 <= Index <= 500, else the empty text. The view stays
// valid for the whole run.
std::string_view AnimIndexToName(i16 Index);
