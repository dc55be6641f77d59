#include "output/OutputUnit.h"

#include "core/RunContext.h"
#include "platform/Platform.h"

void WriteEventList() {}
void PickManOfTheMatch() {}
void WriteStatsOutput() {}
void WriteGameFile() { SetCurrentDir(ExeDir); }
