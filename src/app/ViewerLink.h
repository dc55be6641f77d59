// The two channels to the viewer program: the text datagram of every frame
// in real-time mode (or its line in a sim-ahead file), and the fixed-layout
// summary handed to the viewer's window at the end of a viewer-link run.
// Neither mode is switched on in a normal run.
#pragma once

#include "core/TypeDefs.h"

// Builds the frame's datagram and sends it to 127.0.0.1 at UDPSendPort, or,
// while a sim-ahead request runs, adds it to the sim-ahead pane and saves the
// pane as "userRequestedSimAheadFrames.txt" when the request ends. Keeps the
// pass targets, UserHasBall, KickMode and MessagesSent of UDPRealtime that
// user control reads. A text longer than the send buffer is not sent. Raises
// when the sim-ahead file cannot be written.
void SendFrameToViewer(TWorld& W);

// Fills ViewerFrame from W and hands it to the viewer's window; when there is
// no such window the record is filled (and ViewerMessagesSent advanced) and
// nothing is sent.
void SendStateToViewerWindow(TWorld& W);

// Send buffer of the frame datagram, in characters.
constexpr int kFrameSendBufferSize = 1001;

// The open-play pass receivers round block 1's carrier, as block-1 player
// numbers (0 = none): nearest to a point 2 m aside and 1.75 m behind him on
// the smaller-x side (1) and the larger-x side (3), then, of the others,
// nearest to 5 m aside and 3 m behind (2 and 4). Team-mates ahead of him,
// on the ground or in a ruck do not count; while he is being tackled only
// those close behind him do.
using TPassTargets = Arr1<i32, 4>;
TPassTargets OpenPlayPassTargets(const TWorld& W, i32 Carrier);
