#include "core/MatchStats.h"

TMatchStats MatchStats;
