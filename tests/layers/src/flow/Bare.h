// Names no folder.
#include "Local.h"
