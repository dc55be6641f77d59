#include "core/MatchStore.h"

TMatchStore MatchStore;
i32 HalfTimeFrame;
