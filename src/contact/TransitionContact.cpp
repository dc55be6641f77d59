#include "contact/ContactHolds.h"
#include "contact/ContactSteps.h"

void TransitionContact(TWorld& W) { EndMissedDives(W, 0); }
