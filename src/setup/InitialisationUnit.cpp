#include "setup/InitialisationUnit.h"

#include "core/TypeDefs.h"
#include "core/WorldDefaults.h"
#include "setup/ReadInputFiles.h"

void InitialiseMatch() {
  InitialiseWorld(World);
  ReadInputFiles();
}
