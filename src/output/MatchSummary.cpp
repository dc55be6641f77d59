#include "output/MatchSummary.h"

TMatchSummary MatchSummary;
