#include "output/MatchStats.h"

TMatchStats MatchStats;
