#include "contact/GeneralCollisionUnit.h"

void GeneralCollision(TWorld& W) { (void)W; }

