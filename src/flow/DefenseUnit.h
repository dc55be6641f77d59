// The placement of the defending side (block 2) in running, passing and
// gottackled: its organisation, pressure and chase, and positions. Called by
// the handlers of those states; a call point until the defence lands.
#pragma once

#include "core/TypeDefs.h"

void Defense(TWorld& W);
