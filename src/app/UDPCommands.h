// The parser of the viewer link's command datagrams: fills the real-time
// control record from each datagram.
#pragma once

#include <string>

#include "core/Arrays.h"
#include "core/UDPRealtime.h"

// The socket's receive callback: splits one command datagram into fields
// and applies them to UDPRealtime. Anything may send to the port, so a
// datagram never raises: a field that does not convert drops the rest of
// its datagram, fields past the 49th are ignored, and a user slot outside
// 1..4 writes no slot.
void ReceiveUDPCommand(const std::string& Host, u16 Port, const void* Data, i32 Size);

// The socket's error callback: socket errors are dropped.
void IgnoreUDPError(const std::string& Msg);
