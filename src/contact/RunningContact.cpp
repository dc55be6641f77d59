#include "contact/ContactSteps.h"

void RunningContact(TWorld& W) { (void)W; }
