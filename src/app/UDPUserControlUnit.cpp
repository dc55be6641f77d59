#include "app/UDPUserControlUnit.h"

void UDPUserControl() {}
