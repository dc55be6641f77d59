#include "app/ViewerLink.h"

void SendFrameToViewer(TWorld& W) { (void)W; }
void SendStateToViewerWindow(TWorld& W) { (void)W; }
