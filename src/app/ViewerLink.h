// The frame datagram to the viewer and the frame summary to its window.
#pragma once

#include "core/TypeDefs.h"

void SendFrameToViewer(TWorld& W);
void SendStateToViewerWindow(TWorld& W);
