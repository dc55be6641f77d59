#include "core/RunContext.h"

std::string ExeDir;
std::string OutputDir;
bool32 DummyOutputOnly = kFalse32;
std::string FileID;
std::string FileSuffix;
bool32 ViewerLinkMode = kFalse32;
u16 AILevel = 750;
f32 GameSpeed = 0.085f;
