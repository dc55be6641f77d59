#include "output/OutputUnit.h"

#include "app/MainUnit.h"
#include "platform/Platform.h"

void WriteEventList() {}
void PickManOfTheMatch() {}
void WriteStatsOutput() {}
void WriteGameFile() { SetCurrentDir(ExeDir); }
