// Reaches up into app.
#include "app/Main.h"
