// Frame step 5: human users' control (real-time mode only).
#pragma once

void UDPUserControl();
