#include "contact/CollisionDetectUnit.h"

void CollisionDetect(TWorld& W) { (void)W; }

