#include "contact/ContactSteps.h"

void ScrumContact(TWorld& W) { (void)W; }
