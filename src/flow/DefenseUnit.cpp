#include "flow/DefenseUnit.h"

void Defense(TWorld& W) { (void)W; }
