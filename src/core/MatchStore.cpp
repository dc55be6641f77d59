#include "core/MatchStore.h"

TMatchStore MatchStore;
