#include "setup/ReadInputFiles.h"

#include "app/MainUnit.h"
#include "core/EngineError.h"
#include "platform/Platform.h"

void ReadInputFiles() {
  const std::string dir = ExeDir + "csvinput/internetinit/";
  for (const char* name : {"players.csv", "fieldstrat.csv"}) {
    if (!FileExists(dir + name)) throw EEngineError("Cannot open file " + dir + name);
  }
}
