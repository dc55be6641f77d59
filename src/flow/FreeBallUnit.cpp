#include "flow/FreeBallUnit.h"

void DoFreeBall(TWorld& W) { (void)W; }
