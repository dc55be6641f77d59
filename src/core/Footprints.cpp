#include "core/Footprints.h"

void UpdatePlayerFootprints(TWorld& W) { (void)W; }

