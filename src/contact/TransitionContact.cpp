#include "contact/ContactSteps.h"

void TransitionContact(TWorld& W) { (void)W; }
