#include "core/WorkCounters.h"

TWorkCounters WorkCounters;
