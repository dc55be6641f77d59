#include "output/MatchStore.h"

TMatchStore MatchStore;
i32 HalfTimeFrame;
