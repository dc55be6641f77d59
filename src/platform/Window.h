// Other programs' windows. This platform has no window system, so no window
// of another program is ever found and nothing is ever delivered to one.
#pragma once

#include <cstdint>
#include <string>

// A window of another program; 0 = none.
using TWindowHandle = uintptr_t;

// The top-level window with this class name and caption; 0 when there is
// none (always, here).
TWindowHandle FindWindow(const std::string& ClassName, const std::string& Caption);

// Hands Size bytes at Data, tagged with Kind, to a window found by
// FindWindow, and waits until it has taken them. A handle of 0 names no
// window and nothing is delivered.
void SendCopyData(TWindowHandle Target, uint32_t Kind, const void* Data, uint32_t Size);
