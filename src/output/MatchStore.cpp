#include "output/MatchStore.h"

TMatchStore MatchStore;
