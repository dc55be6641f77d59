// Reaches up into decision, which includes motion: a cycle.
#include "decision/B.h"
