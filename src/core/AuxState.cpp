#include "core/AuxState.h"

TAuxState AuxState;
