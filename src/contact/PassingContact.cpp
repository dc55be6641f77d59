#include "contact/ContactSteps.h"

void PassingContact(TWorld& W) { (void)W; }
