// The UDP socket of the viewer link.
#pragma once

// Creates the one socket (replacing an earlier one), wires its callbacks and
// starts it on UDPListenPort. A failure to start goes to the error callback.
void CreateUDPSocket();
