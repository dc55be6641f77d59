#include "contact/ContactSteps.h"

void LineoutContact(TWorld& W) { (void)W; }
