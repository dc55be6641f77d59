#include "core/ViewerFrame.h"

TViewerFrame ViewerFrame;
u8 ViewerDataKind = 0;
