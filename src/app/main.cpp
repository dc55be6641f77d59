#include "app/FrameSteps.h"
#include "app/MainUnit.h"

int main() {
  InstallEngineHooks();
  return RunProgram();
}
