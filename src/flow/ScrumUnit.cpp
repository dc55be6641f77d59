#include "flow/ScrumUnit.h"

void DoScrum(TWorld& W) { (void)W; }
