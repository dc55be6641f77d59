#include "contact/ContactSteps.h"

void KickRestartContact(TWorld& W) { (void)W; }
