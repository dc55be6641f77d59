// Team and competition names for the output files.
#pragma once

#include <string>
#include <string_view>

#include "core/Arrays.h"

// True when the name is exactly one of the game's 113 stock team names.
bool IsStockTeamName(std::string_view Name);

// The competition words of the output for Kind 1 (the match type), 2 (the
// international or all-star kind) and 3; "none" for anything else. Reads the
// match settings of the match store.
void CompetitionName(i16 Kind, std::string& Text);
