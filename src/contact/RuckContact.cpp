#include "contact/ContactSteps.h"

void RuckContact(TWorld& W) { (void)W; }
