#include "contact/ContactSteps.h"

void FreeBallContact(TWorld& W) { (void)W; }
