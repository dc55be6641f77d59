#include "hooks/UserControl.h"

TUserControlHooks UserControlHooks;
