#include "flow/SampleWorldUnit.h"

void SampleWorld(TWorld& W) { (void)W; }

