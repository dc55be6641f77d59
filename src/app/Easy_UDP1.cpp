#include "app/Easy_UDP1.h"

void CreateUDPSocket() {}
