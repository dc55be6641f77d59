#include "platform/Window.h"

TWindowHandle FindWindow(const std::string& ClassName, const std::string& Caption) {
  (void)ClassName;
  (void)Caption;
  return 0;
}

void SendCopyData(TWindowHandle Target, uint32_t Kind, const void* Data, uint32_t Size) {
  // No window system: FindWindow hands out no handle, so there is never a
  // receiver to copy to.
  (void)Target;
  (void)Kind;
  (void)Data;
  (void)Size;
}
